#include "forms/menu/form2.h"

#include "app/program.h"
#include "forms/intro/form1.h"

#include <array>

namespace vd::forms {

namespace {

using tk::Colour;
using tk::ControlLayout;
using tk::Kind;

constexpr Colour Pink = Colour::of(255, 192, 255);
constexpr Colour Red = Colour::of(255, 0, 0);
constexpr Colour White = Colour::of(255, 255, 255);
constexpr Colour Blue = Colour::of(0, 0, 255);
constexpr Colour Magenta = Colour::of(255, 0, 255);
constexpr Colour Green = Colour::of(0, 128, 0);
constexpr Colour LightOrange = Colour::of(255, 192, 128);

constexpr const char *ButtonFont = "KodchiangUPC";
constexpr const char *CaptionFont = "AngsanaUPC";

// The block of groups 1 to 60: six columns of ten, numbered down the columns.
constexpr int BlockLeft = 360;
constexpr int ColumnWidth = 1500;

struct Row {
    int top;
    int height;
    Colour background;
};
constexpr std::array<Row, 10> Rows{{
    {360, 345, Red},
    {705, 345, Red},
    {1050, 345, White},
    {1395, 345, White},
    {1740, 690, Blue},
    {2430, 690, Blue},
    {3120, 345, White},
    {3465, 345, White},
    {3810, 345, Red},
    {4155, 345, Red},
}};

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
        const Row &row = Rows[static_cast<std::size_t>((n - 1) % 10)];
        b.rect = {BlockLeft + ColumnWidth * column, row.top, ColumnWidth, row.height};
        b.background = row.background;
        b.caption = groupName(n);
        if (n == 6 || n == 7)
            b.font.points = 17.25;
    } else {
        // Groups 61 and 62: a narrower seventh column, each as tall as five rows,
        // their words spread out so that they read down the button.
        b.rect = {9360, n == 61 ? 360 : 2430, 800, 2070};
        b.background = Magenta;
        b.caption = " กลุ่ม   ชุด    ดิน   ที่   " + std::to_string(n);
        b.accessibleName = groupName(n);
        b.font.points = 20.25;
    }
    return b;
}

} // namespace

tk::WindowLayout Form2::layout() const
{
    ControlLayout frame{.name = "Frame1", .kind = Kind::Frame, .rect = {0, 0, 10500, 6255}, .background = Pink};
    for (GroupNumber n = LastGroup; n >= FirstGroup; --n)
        frame.children.push_back(groupButton(n));
    frame.children.push_back({.name = "Label1",
                              .kind = Kind::Label,
                              .rect = {840, 5700, 1575, 300},
                              .background = LightOrange,
                              .font = {CaptionFont, 12}});
    frame.children.push_back({.name = "Image1",
                              .kind = Kind::Picture,
                              .rect = {360, 4560, 9800, 1575},
                              .picture = "MenuBanner",
                              .accessibleName = "คำอธิบายกลุ่มชุดดินในประเทศไทย"});

    ControlLayout exit{.name = "Command64",
                       .kind = Kind::PushButton,
                       .rect = {5400, 6255, 5079, 800},
                       .background = Red,
                       .caption = "ออกจากโปรแกรม",
                       .tooltip = "ออกจากโปรแกรม",
                       .font = {ButtonFont, 15.75},
                       .facePicture = "RedLightPicture",
                       .pointerImage = "StopPointer"};
    ControlLayout back{.name = "Command63",
                       .kind = Kind::PushButton,
                       .rect = {0, 6255, 5079, 800},
                       .background = Green,
                       .caption = "กลับหน้าหลัก",
                       .tooltip = "กลับหน้าหลัก",
                       .font = {ButtonFont, 15.75},
                       .facePicture = "BackArrowPicture",
                       .pointerImage = "BackPointer"};

    tk::WindowLayout w{.className = "Form2",
                       .title = "Form2",
                       .accessibleName = "เลือกกลุ่มชุดดิน",
                       .width = 10500,
                       .height = 7110,
                       .background = Pink,
                       .windowIcon = {},
                       .controls = {std::move(exit), std::move(back), std::move(frame)},
                       .focusOrder = {}};
    for (int n = 1; n <= 64; ++n)
        w.focusOrder.push_back(buttonName(n));
    return w;
}

void Form2::click(std::string_view control)
{
    if (control == "Command63") {
        program().form1().show();
        unload();
    } else if (control == "Command64") {
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
