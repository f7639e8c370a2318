#include "forms/intro/form1.h"

#include "app/program.h"
#include "forms/menu/form2.h"

namespace vd::forms {

tk::WindowLayout Form1::layout() const
{
    using tk::Colour;
    using tk::Kind;

    tk::ControlLayout enter{.name = "Command2",
                            .kind = Kind::PushButton,
                            .rect = {5665, 4650, 2500, 640},
                            .background = Colour::of(192, 255, 192),
                            .tooltip = "เลือกกลุ่มชุดดิน",
                            .facePicture = "GreenLightPicture",
                            .pointerImage = "ForwardPointer",
                            .accessibleName = "เลือกกลุ่มชุดดิน"};
    tk::ControlLayout exit{.name = "Command1",
                           .kind = Kind::PushButton,
                           .rect = {10, 4650, 2500, 640},
                           .background = Colour::of(255, 0, 0),
                           // "อออก", with the doubled "อ", on purpose: this window's exit
                           // tooltip differs from the menu window's "ออกจากโปรแกรม". Not
                           // a typing error to correct (the tests hold both).
                           .tooltip = "อออกจากโปรแกรม",
                           .facePicture = "RedLightPicture",
                           .pointerImage = "StopPointer",
                           .accessibleName = "ออกจากโปรแกรม"};
    tk::ControlLayout picture{.name = "Image1",
                              .kind = Kind::Picture,
                              .rect = {0, 0, 8175, 5295},
                              .picture = "IntroPicture",
                              .accessibleName = "คำอธิบายกลุ่มชุดดิน"};

    return {.className = "Form1",
            .title = "Form1",
            .accessibleName = "คำอธิบายกลุ่มชุดดิน",
            .width = 8205,
            .height = 5325,
            .background = Colour::buttonFace(),
            .windowIcon = "IslandIcon",
            .controls = {std::move(enter), std::move(exit), std::move(picture)},
            .focusOrder = {"Command1", "Command2"}};
}

void Form1::click(std::string_view control)
{
    if (control == "Command1") {
        program().end();
    } else if (control == "Command2") {
        Form2 &menu = program().form2();
        menu.load();
        menu.show();
        unload();
    }
}

} // namespace vd::forms
