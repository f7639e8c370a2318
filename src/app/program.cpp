#include "app/program.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace vd::app {

Program::Program(tk::Toolkit &toolkit, automation::Registry &classes) : toolkit_(toolkit), classes_(classes)
{
    toolkit_.setFailureReport([this](const Error &error) {
        toolkit_.showFailure(failureTitle(), started_ ? failureText(error) : startFailureText(error));
    });
}

Program::~Program()
{
    toolkit_.setFailureReport({});
    // Windows go before the instances that receive their events.
    if (form2_)
        form2_->unload();
    if (form1_)
        form1_->unload();
}

void Program::end()
{
    toolkit_.endProgram();
}

void Program::endIfNoWindowLoaded()
{
    const bool loaded = (form1_ && form1_->isLoaded()) || (form2_ && form2_->isLoaded());
    if (!loaded)
        end();
}

std::string failureTitle()
{
    return "Velodane";
}

std::string errorNumberText(long number)
{
    // Word's and the automation's own numbers (5174, 429) are looked up as
    // they are; the system's status codes, which are negative as numbers,
    // as Windows documents them: eight hexadecimal digits after "0x".
    if (number >= 0)
        return std::to_string(number);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08" PRIX32, static_cast<std::uint32_t>(number));
    return text;
}

std::string failureText(const Error &error)
{
    return "เกิดข้อผิดพลาดหมายเลข " + errorNumberText(error.number()) + "\n\n" + error.description() +
           "\n\nโปรแกรมยังทำงานต่อได้: ลองอีกครั้ง หรือเลือกรายการอื่น";
}

std::string startFailureText(const Error &error)
{
    return "โปรแกรมเริ่มทำงานไม่ได้: เกิดข้อผิดพลาดหมายเลข " + errorNumberText(error.number()) + "\n\n" + error.description() +
           "\n\nโปรแกรมจะปิดลง ลองติดตั้งโปรแกรมใหม่ หรือแจ้งผู้ดูแลเครื่อง";
}

} // namespace vd::app
