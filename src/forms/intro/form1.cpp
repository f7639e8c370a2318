#include "forms/intro/form1.h"

#include "app/program.h"
#include "forms/menu/form2.h"
#include "forms/window_measures.h"

namespace vd::forms {

namespace {

namespace intro = measures::intro;

// The two buttons, by their names in the window.
constexpr auto ExitButton = "Command1";
constexpr auto EnterButton = "Command2";

} // namespace

tk::WindowLayout Form1::layout() const
{
    using tk::Colour;
    using tk::Kind;

    tk::ControlLayout enter{.name = EnterButton,
                            .kind = Kind::PushButton,
                            .rect = intro::EnterButton,
                            .background = tk::Colour::of(intro::EnterBackground),
                            .tooltip = "เลือกกลุ่มชุดดิน",
                            .facePicture = "GreenLightPicture",
                            .pointerImage = "ForwardPointer",
                            .accessibleName = "เลือกกลุ่มชุดดิน"};
    tk::ControlLayout exit{.name = ExitButton,
                           .kind = Kind::PushButton,
                           .rect = intro::ExitButton,
                           .background = tk::Colour::of(intro::ExitBackground),
                           // "อออก", with the doubled "อ", on purpose: this window's exit
                           // tooltip differs from the menu window's "ออกจากโปรแกรม". Not
                           // a typing error to correct (the tests hold both).
                           .tooltip = "อออกจากโปรแกรม",
                           .facePicture = "RedLightPicture",
                           .pointerImage = "StopPointer",
                           .accessibleName = "ออกจากโปรแกรม"};
    tk::ControlLayout picture{.name = "Image1",
                              .kind = Kind::Picture,
                              .rect = intro::Picture,
                              .picture = "IntroPicture",
                              .accessibleName = "คำอธิบายกลุ่มชุดดิน"};

    return {.className = "Form1",
            .title = "Form1",
            .accessibleName = "คำอธิบายกลุ่มชุดดิน",
            .width = intro::Width,
            .height = intro::Height,
            .background = Colour::buttonFace(),
            .windowIcon = "IslandIcon",
            .controls = {std::move(enter), std::move(exit), std::move(picture)},
            .focusOrder = {ExitButton, EnterButton}};
}

void Form1::click(std::string_view control)
{
    if (control == ExitButton) {
        program().end();
    } else if (control == EnterButton) {
        Form2 &menu = program().form2();
        menu.load();
        menu.show();
        unload();
    }
}

} // namespace vd::forms
