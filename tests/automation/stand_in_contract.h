// What every stand-in for Word answers alike, whatever opens its documents:
// the members, the ways they may be asked for, their failures' numbers and
// texts. Run by the Linux component's checks and, under Wine, by the Windows
// one's, so that both are held to the one table.
#pragma once

#include "automation/automation.h"

#include <functional>
#include <string>
#include <vector>

namespace vd::testing {

// Calls every case on a new application of make(); tells each failure to
// fail, with the case's name.
inline void checkStandIn(const std::function<automation::ObjectRef()> &make,
                         const std::function<void(const std::string &)> &fail)
{
    using namespace automation;
    enum Result { Nothing, False, AnObject };
    struct Case {
        const char *name;
        bool onDocuments;
        const char *member;
        unsigned how;
        std::vector<Value> args;
        long error; // 0: succeeds with result
        Result result = Nothing;
    };
    const unsigned get = PropertyGet, put = PropertyPut, method = Method, either = PropertyGet | Method;
    const std::string doc = "c:\\Program Files\\Velodane\\vd5.doc";
    const std::vector<Value> sixteenAndOne{doc, false, true, false, "", "",    false,         "", "",
                                           0L,  0L,    true, false, 0L, false, std::string(), 1L};
    const std::vector<Case> cases = {
        {"Visible starts false", false, "Visible", get, {}, 0, False},
        {"visible any case", false, "vIsIbLe", get, {}, 0, False},
        {"Visible put", false, "VISIBLE", put, {true}, 0},
        {"Visible put string", false, "Visible", put, {std::string("True")}, 13},
        {"Visible put number", false, "Visible", put, {1L}, 13},
        {"Visible put nothing", false, "Visible", put, {Value{}}, 13},
        {"Visible put no value", false, "Visible", put, {}, 450},
        {"Visible put two values", false, "Visible", put, {true, true}, 450},
        {"Visible get with argument", false, "Visible", get, {1L}, 450},
        {"Visible as method", false, "Visible", method, {}, 438},
        {"documents as property", false, "documents", get, {}, 0, AnObject},
        {"Documents as method", false, "Documents", method, {}, 0, AnObject},
        {"DOCUMENTS either way", false, "DOCUMENTS", either, {}, 0, AnObject},
        {"Documents with argument", false, "Documents", either, {1L}, 450},
        {"Documents put", false, "Documents", put, {1L}, 438},
        {"unknown member", false, "Quit", method, {}, 438},
        {"member of the other object", false, "Open", method, {doc}, 438},
        {"near name", false, "Visibl", get, {}, 438},
        {"Open with too many arguments", true, "Open", method, sixteenAndOne, 450},
        {"Open without arguments", true, "Open", method, {}, 450},
        {"Open a number", true, "Open", method, {5L}, 13},
        {"Open as property", true, "Open", get, {doc}, 438},
        {"unknown collection member", true, "Count", get, {}, 438},
    };
    const auto textOf = [](long number) {
        return number == 438   ? memberNotFound().description()
               : number == 450 ? wrongArguments().description()
                               : typeMismatch().description();
    };
    for (const Case &c : cases) {
        const std::string name = std::string(c.name) + ": ";
        try {
            ObjectRef object = make();
            if (c.onDocuments)
                object = getObject(*object, "Documents");
            const Value value = object->invoke(c.member, c.how, c.args);
            if (c.error != 0)
                fail(name + "succeeded, expected " + std::to_string(c.error));
            else if (c.result == False && value != Value{false})
                fail(name + "not false");
            else if (c.result == AnObject && !std::holds_alternative<ObjectRef>(value))
                fail(name + "not an object");
            else if (c.result == Nothing && !std::holds_alternative<std::monostate>(value))
                fail(name + "not nothing");
        } catch (const Error &e) {
            if (e.number() != c.error)
                fail(name + "failed with " + std::to_string(e.number()) + ": " + e.description());
            else if (e.description() != textOf(c.error))
                fail(name + "told as: " + e.description());
        }
    }
    ObjectRef application = make();
    setProperty(*application, "Visible", true);
    if (getProperty(*application, "visible") != Value{true})
        fail("Visible is not remembered");
    if (getObject(*application, "documents") != getObject(*application, "Documents"))
        fail("not always the same documents");
}

} // namespace vd::testing
