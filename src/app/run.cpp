#include "app/run.h"

#include "app/program.h"

namespace vd::app {

int run(tk::Toolkit &toolkit, automation::Registry &classes)
{
    Program program(toolkit, classes);
    toolkit.dispatch([&] { program.start(); });
    if (toolkit.ended())
        return 0;
    if (!program.startWindowLoaded())
        return 1;
    return toolkit.exec();
}

} // namespace vd::app
