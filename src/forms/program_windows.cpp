// The program's two windows: the intro window Form1, which the program
// starts on, and the menu window Form2.
#include "app/program.h"
#include "forms/intro/form1.h"
#include "forms/menu/form2.h"

namespace vd::app {

void Program::start()
{
    form1().show();
    started_ = true;
}

forms::Form1 &Program::form1()
{
    return instance<forms::Form1>(form1_);
}

forms::Form2 &Program::form2()
{
    return instance<forms::Form2>(form2_);
}

} // namespace vd::app
