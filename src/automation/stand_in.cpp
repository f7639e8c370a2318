#include "automation/stand_in.h"

#include <memory>

namespace vd::automation {

namespace {

class Documents final : public Object {
public:
    explicit Documents(OpenDocument open) : open_(std::move(open)) {}

    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override
    {
        if (!sameName(member, "Open") || !(how & Method))
            throw memberNotFound();
        if (args.empty() || args.size() > OpenMaxArguments)
            throw wrongArguments();
        const auto *fileName = std::get_if<std::string>(&args.front());
        if (!fileName)
            throw typeMismatch();
        open_(*fileName);
        return {};
    }

private:
    OpenDocument open_;
};

class Application final : public Object {
public:
    explicit Application(OpenDocument open) : documents_(std::make_shared<Documents>(std::move(open))) {}

    Value invoke(std::string_view member, unsigned how, std::span<const Value> args) override
    {
        if (sameName(member, "Visible") && (how & PropertyPut))
            return put(args);
        if (sameName(member, "Visible") && (how & PropertyGet))
            return withoutArguments(args, visible_);
        if (sameName(member, "Documents") && (how & (PropertyGet | Method)))
            return withoutArguments(args, documents_);
        throw memberNotFound();
    }

private:
    Value put(std::span<const Value> args)
    {
        if (args.size() != 1)
            throw wrongArguments();
        const bool *visible = std::get_if<bool>(&args.front());
        if (!visible)
            throw typeMismatch();
        visible_ = *visible;
        return {};
    }
    static Value withoutArguments(std::span<const Value> args, Value value)
    {
        if (!args.empty())
            throw wrongArguments();
        return value;
    }

    bool visible_ = false;
    ObjectRef documents_;
};

} // namespace

ObjectRef makeStandInApplication(OpenDocument open)
{
    return std::make_shared<Application>(std::move(open));
}

} // namespace vd::automation
