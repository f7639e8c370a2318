#include "automation/automation.h"

#include <algorithm>

namespace vd::automation {

namespace {
char fold(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool sameName(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return fold(x) == fold(y); });
}

void setProperty(Object &object, std::string_view name, Value value)
{
    const Value args[] = {std::move(value)};
    object.invoke(name, PropertyPut, args);
}

Value getProperty(Object &object, std::string_view name)
{
    return object.invoke(name, PropertyGet, {});
}

ObjectRef getObject(Object &object, std::string_view name)
{
    Value result = object.invoke(name, PropertyGet | Method, {});
    auto *ref = std::get_if<ObjectRef>(&result);
    if (!ref || !*ref)
        throw Error(errors::ObjectRequired, "ต้องการออบเจกต์: \"" + std::string(name) + "\" ไม่ได้ให้ออบเจกต์คืนมา");
    return std::move(*ref);
}

Value call(Object &object, std::string_view method, std::vector<Value> args)
{
    return object.invoke(method, Method, args);
}

void Registry::add(std::string className, Factory factory)
{
    classes_.emplace_back(std::move(className), std::move(factory));
}

ObjectRef Registry::create(std::string_view className) const
{
    for (const auto &[name, factory] : classes_) {
        if (sameName(name, className)) {
            ObjectRef object = factory();
            if (!object)
                break;
            return object;
        }
    }
    throw Error(errors::CantCreateObject,
                "ไม่สามารถสร้างออบเจกต์ \"" + std::string(className) + "\" ได้ (ActiveX component can't create object)");
}

} // namespace vd::automation
