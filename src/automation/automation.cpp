#include "automation/automation.h"

namespace vd::automation {

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
        throw Error(errors::ObjectRequired, "ต้องการออบเจกต์: โปรแกรมประมวลผลคำไม่ได้ให้ออบเจกต์ที่โปรแกรมนี้ขอคืนมา");
    return std::move(*ref);
}

Error memberNotFound()
{
    return Error(errors::MemberNotFound,
                 "โปรแกรมประมวลผลคำไม่รองรับคำสั่งที่โปรแกรมนี้ใช้เปิดเอกสาร (ออบเจกต์ไม่รองรับคุณสมบัติหรือเมธอดนี้)");
}

Error wrongArguments()
{
    return Error(errors::WrongArguments, "โปรแกรมประมวลผลคำไม่รับคำสั่งตามที่โปรแกรมนี้ส่งไป (จำนวนอาร์กิวเมนต์ไม่ถูกต้อง)");
}

Error typeMismatch()
{
    return Error(errors::TypeMismatch, "โปรแกรมประมวลผลคำไม่รับค่าที่โปรแกรมนี้ส่งไป (ชนิดข้อมูลไม่ตรงกัน)");
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
    throw Error(errors::CantCreateObject, "ไม่สามารถสร้างออบเจกต์ \"" + std::string(className) + "\" ได้");
}

} // namespace vd::automation
