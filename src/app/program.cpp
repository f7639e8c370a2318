#include "app/program.h"

#include "forms/intro/form1.h"
#include "forms/menu/form2.h"

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

forms::Form1 &Program::form1()
{
    if (!form1_)
        form1_ = std::make_unique<forms::Form1>(*this);
    return *form1_;
}

forms::Form2 &Program::form2()
{
    if (!form2_)
        form2_ = std::make_unique<forms::Form2>(*this);
    return *form2_;
}

void Program::start()
{
    form1().show();
    started_ = true;
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

std::string failureText(const Error &error)
{
    return "เกิดข้อผิดพลาดหมายเลข " + std::to_string(error.number()) + "\n\n" + error.description() +
           "\n\nโปรแกรมยังทำงานต่อได้: ลองอีกครั้ง หรือเลือกรายการอื่น";
}

std::string startFailureText(const Error &error)
{
    return "โปรแกรมเริ่มทำงานไม่ได้: เกิดข้อผิดพลาดหมายเลข " + std::to_string(error.number()) + "\n\n" + error.description() +
           "\n\nโปรแกรมจะปิดลง ลองติดตั้งโปรแกรมใหม่ หรือแจ้งผู้ดูแลเครื่อง";
}

} // namespace vd::app
