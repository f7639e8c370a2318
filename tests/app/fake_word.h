// A recording stand-in for "word.Application": it writes every call it gets
// into a log, and can be told to fail at any one of them.
#pragma once

#include "automation/automation.h"

#include <memory>
#include <string>
#include <vector>

namespace vd::testing {

struct WordLog {
    std::vector<std::string> calls;
    int created = 0;
    // Fail the call whose log line starts with this (e.g. "create", "put Visible").
    std::string failOn;
    long failNumber = 1234;
    std::vector<std::weak_ptr<automation::Object>> objects;
};

inline std::string describe(const automation::Value &v)
{
    if (std::holds_alternative<bool>(v))
        return std::get<bool>(v) ? "true" : "false";
    if (std::holds_alternative<std::string>(v))
        return "\"" + std::get<std::string>(v) + "\"";
    if (std::holds_alternative<long>(v))
        return std::to_string(std::get<long>(v));
    if (std::holds_alternative<automation::ObjectRef>(v))
        return "object";
    return "empty";
}

class FakeDocuments final : public automation::Object {
public:
    FakeDocuments(WordLog &log, int id) : log_(log), id_(id) {}
    automation::Value invoke(std::string_view member, unsigned how, std::span<const automation::Value> args) override
    {
        std::string line = "#" + std::to_string(id_) + ".documents " + std::string(member);
        for (const auto &a : args)
            line += " " + describe(a);
        line += how == automation::Method ? " (method)" : " (other)";
        log_.calls.push_back(line);
        if (!log_.failOn.empty() && line.find(log_.failOn) != std::string::npos)
            throw Error(log_.failNumber, "fake failure: " + line);
        return {};
    }

private:
    WordLog &log_;
    int id_;
};

class FakeWord final : public automation::Object {
public:
    FakeWord(WordLog &log, int id) : log_(log), id_(id) {}
    automation::Value invoke(std::string_view member, unsigned how, std::span<const automation::Value> args) override
    {
        std::string line = "#" + std::to_string(id_) + " ";
        line += how == automation::PropertyPut                            ? "put "
                : how == automation::PropertyGet                          ? "get "
                : (how == (automation::PropertyGet | automation::Method)) ? "get-or-call "
                                                                          : "call ";
        line += std::string(member);
        for (const auto &a : args)
            line += " " + describe(a);
        log_.calls.push_back(line);
        if (!log_.failOn.empty() && line.find(log_.failOn) != std::string::npos)
            throw Error(log_.failNumber, "fake failure: " + line);
        if (automation::sameName(member, "documents")) {
            if (log_.failOn == "documents-not-object")
                return std::string("not an object");
            return std::make_shared<FakeDocuments>(log_, id_);
        }
        return {};
    }

private:
    WordLog &log_;
    int id_;
};

inline void registerFakeWord(automation::Registry &registry, WordLog &log)
{
    registry.add("Word.Application", [&log]() -> automation::ObjectRef {
        const int id = log.created + 1;
        log.calls.push_back("create #" + std::to_string(id));
        if (log.failOn == "create")
            throw Error(429, "fake: cannot create");
        log.created = id;
        auto object = std::make_shared<FakeWord>(log, id);
        log.objects.push_back(object);
        return object;
    });
}

} // namespace vd::testing
