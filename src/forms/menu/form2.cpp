#include "forms/menu/form2.h"

#include "app/program.h"
#include "forms/intro/form1.h"
#include "forms/window_measures.h"

namespace vd::forms {

namespace {

using tk::ControlLayout;
using tk::Kind;

namespace menu = measures::menu;

// The buttons below the frame, by their names in the window.
constexpr auto BackButton = "Command63";
constexpr auto ExitButton = "Command64";

constexpr const char *ButtonFont = "KodchiangUPC";
constexpr const char *CaptionFont = "AngsanaUPC";

std::string buttonName(int n)
{
    return "Command" + std::to_string(n);
}

ControlLayout groupButton(GroupNumber n)
{
    ControlLayout b{.name = buttonName(n), .kind = Kind::PushButton, .pointerImage = "HandPointer"};
    b.font = {ButtonFont, 15.75};
    if (n <= 60) {
        const int column = (n - 1) / 10;
        const menu::Row &row = menu::Rows[static_cast<std::size_t>((n - 1) % 10)];
        b.rect = {menu::BlockLeft + menu::ColumnWidth * column, row.top, menu::ColumnWidth, row.height};
        b.background = tk::Colour::of(row.background);
        b.caption = groupName(n);
        if (n == 6 || n == 7)
            b.font.points = 17.25;
    } else {
        // Groups 61 and 62: a narrower seventh column, each as tall as five rows,
        // their words spread out so that they read down the button.
        b.rect = n == 61 ? menu::Group61 : menu::Group62;
        b.background = tk::Colour::of(menu::Groups61And62Background);
        b.caption = " กลุ่ม   ชุด    ดิน   ที่   " + std::to_string(n);
        b.accessibleName = groupName(n);
        b.font.points = 20.25;
    }
    return b;
}

} // namespace

tk::WindowLayout Form2::layout() const
{
    ControlLayout frame{.name = "Frame1",
                        .kind = Kind::Frame,
                        .rect = menu::Frame,
                        .background = tk::Colour::of(menu::FrameBackground)};
    for (GroupNumber n = LastGroup; n >= FirstGroup; --n)
        frame.children.push_back(groupButton(n));
    frame.children.push_back({.name = "Label1",
                              .kind = Kind::Label,
                              .rect = menu::CaptionLine,
                              .background = tk::Colour::of(menu::CaptionLineBackground),
                              .font = {CaptionFont, 12}});
    frame.children.push_back({.name = "Image1",
                              .kind = Kind::Picture,
                              .rect = menu::Banner,
                              .picture = "MenuBanner",
                              .accessibleName = "คำอธิบายกลุ่มชุดดินในประเทศไทย"});

    ControlLayout exit{.name = ExitButton,
                       .kind = Kind::PushButton,
                       .rect = menu::ExitButton,
                       .background = tk::Colour::of(menu::ExitBackground),
                       .caption = "ออกจากโปรแกรม",
                       .tooltip = "ออกจากโปรแกรม",
                       .font = {ButtonFont, 15.75},
                       .facePicture = "RedLightPicture",
                       .pointerImage = "StopPointer"};
    ControlLayout back{.name = BackButton,
                       .kind = Kind::PushButton,
                       .rect = menu::BackButton,
                       .background = tk::Colour::of(menu::BackBackground),
                       .caption = "กลับหน้าหลัก",
                       .tooltip = "กลับหน้าหลัก",
                       .font = {ButtonFont, 15.75},
                       .facePicture = "BackArrowPicture",
                       .pointerImage = "BackPointer"};

    tk::WindowLayout w{.className = "Form2",
                       .title = "Form2",
                       .accessibleName = "เลือกกลุ่มชุดดิน",
                       .width = menu::Width,
                       .height = menu::Height,
                       .background = tk::Colour::of(menu::Background),
                       .windowIcon = {},
                       .controls = {std::move(exit), std::move(back), std::move(frame)},
                       .focusOrder = {}};
    for (int n = 1; n <= 64; ++n)
        w.focusOrder.push_back(buttonName(n));
    return w;
}

void Form2::click(std::string_view control)
{
    if (control == BackButton) {
        program().form1().show();
        unload();
    } else if (control == ExitButton) {
        program().end();
    } else if (const auto group = groupOfButton(control)) {
        openGroup(*group);
    }
}

void Form2::mouseMove(std::string_view control)
{
    if (const auto group = groupOfButton(control)) {
        if (*group <= 60)
            setCaption("Label1", caption(control));
        else
            setCaption("Label1", groupName(*group));
    } else if (control == "Frame1" || control == "Image1" || control == "Label1") {
        setCaption("Label1", "");
    }
}

void Form2::openGroup(GroupNumber group)
{
    StartWord();
    automation::setProperty(*WordApp, "Visible", true);
    automation::ObjectRef documents = automation::getObject(*WordApp, "documents");
    automation::call(*documents, "Open", {GroupDocument(group)});
}

void Form2::StartWord()
{
    WordApp = program().classes().create("word.Application");
}

} // namespace vd::forms
