#include "automation/windows/com_holders.h"

#include "common/error.h"

namespace vd::automation::winword {

Bstr::Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
{
    if (!b_)
        throw Error(errors::OutOfMemory, "หน่วยความจำไม่พอสำหรับข้อความที่จะส่งให้โปรแกรมอื่น");
}

} // namespace vd::automation::winword
