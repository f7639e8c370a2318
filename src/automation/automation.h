// Late-bound automation: objects created from a class name, whose members
// are looked up by name, without regard to letter case, at each call.
#pragma once

#include "common/error.h"
#include "common/names.h"

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vd::automation {

class Object;
using ObjectRef = std::shared_ptr<Object>;

// A value passed to or returned by a member. Empty is "nothing".
using Value = std::variant<std::monostate, bool, long, std::string, ObjectRef>;

// How a member is requested; a request may allow several ways, so that the
// component answers whichever it implements.
enum Invoke : unsigned {
    Method = 1,
    PropertyGet = 2,
    PropertyPut = 4,
};

class Object {
public:
    virtual ~Object() = default;
    // Every failure is an Error with a number and a description.
    virtual Value invoke(std::string_view member, unsigned how, std::span<const Value> args) = 0;
};

// Class and member names are compared as Windows compares them.
using vd::sameName;

// The calls the system makes, each checked as it would be late bound.
void setProperty(Object &object, std::string_view name, Value value);
Value getProperty(Object &object, std::string_view name);
// A property read or a method call without arguments whose result must be an object.
ObjectRef getObject(Object &object, std::string_view name);
Value call(Object &object, std::string_view method, std::vector<Value> args);

// The failures of a member, told alike on every platform. The member isn't
// named: the reader can't act on its name, and the number tells which
// failure it was.
Error memberNotFound(); // 438
Error wrongArguments(); // 450
Error typeMismatch();   // 13

// The classes that can be created by name on this machine.
class Registry {
public:
    using Factory = std::function<ObjectRef()>;

    void add(std::string className, Factory factory);
    // A new object of the class; an Error (429) when the class is unknown or
    // the factory fails to create one.
    ObjectRef create(std::string_view className) const;

private:
    std::vector<std::pair<std::string, Factory>> classes_;
};

} // namespace vd::automation
