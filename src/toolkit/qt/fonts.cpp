#include "toolkit/qt/fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QtGlobal>
#include <QStringList>

#include <array>
#include <cmath>

namespace vd::qt {

namespace {

// The menu window is drawn in KodchiangUPC and AngsanaUPC, Thai faces that
// draw their letters small for their point size: KodchiangUPC at 15.75 pt
// (21 px) sets "กลุ่มชุดดินที่ 60" on one line in a 100 x 23 px group
// button, where the TLWG faces at 21 px bold need 129 to 163 px by 33 to
// 42 px. Debian has neither UPC face (fontconfig sends AngsanaUPC to Kinnari
// at full size and KodchiangUPC to a Latin face), so both are drawn in Loma
// at a fixed fraction of the named pixel size, rounded to whole pixels:
//
//   named size   15.75 pt 21 px   17.25 pt 23 px   20.25 pt 27 px   12 pt 16 px
//   Loma bold        13 px            14 px            17 px           10 px
//
// Why Loma: the buttons are only 23 px tall and a Thai caption with stacked
// marks ("ลุ่", "ที่") is much taller than its letters. Loma's stack is
// compact (ink of "กลุ่มชุดดินที่ 7" 1.29 em tall, against 1.42 to 1.60 em
// for Kinnari, Norasi, Laksaman, Garuda, Umpush and Waree), so it can be
// drawn larger than those; of the two as compact, Purisa is a handwriting
// face and Sawasdee's bold draws thin and faint at 13 px. Loma bold stays
// legible at these sizes, its looped letters close to the UPC faces'.
//
// Why 0.62: measured in the windows, Loma bold, hinted as on the screen,
// ink counted where a pixel is a quarter of the way to the text colour:
//   - 13 px: the widest of "กลุ่มชุดดินที่ 1" to "... 60" is 85 x 17 px of
//     ink, inside the 96 x 19 px face within a group button's edge;
//   - 14 px (Command6, Command7): 84 x 18 and 84 x 19 px, still inside; at
//     15 px (a scale above 0.63) the stack is 20 px and would not be;
//   - 17 px (Command61, Command62): "ที่   61" is 47.3 px wide, more than
//     the 45 px line of the 53 px wide buttons, so their captions break at
//     every run of blanks and read one piece per line, five lines 27 px
//     apart, 29 x 121 px of ink in the 49 x 134 px face; at 16 px (a scale
//     below 0.611) it would be 44.5 px and "ที่" and "61" would share a line;
//   - 10 px (the caption line): the names of groups 1 to 62 at most
//     66 x 14 px, inside the 105 x 20 px box;
//   - 13 px with the 32 px face picture (Command63, Command64): "กลับหน้าหลัก"
//     71 x 11 px and "ออกจากโปรแกรม" 98 x 10 px, picture and caption together
//     45 px tall in the 49 px face.
// So the UPC faces draw about 38 % smaller per pixel than Loma, and the text
// takes the room it takes in the named faces.
constexpr double LomaScale = 0.62;

struct Substitute {
    const char *named;
    const char *family;
    double scale;
};
constexpr std::array<Substitute, 2> Substitutes{{
    {"KodchiangUPC", "Loma", LomaScale},
    {"AngsanaUPC", "Loma", LomaScale},
}};

// Whether the family is installed, asked of the font database once per
// family: each question runs all of fontconfig's substitution rules (about
// 0.2 ms), and the menu window asks for each of its 65 fonts on every load.
bool installed(const QString &family, QHash<QString, bool> *known)
{
    if (!known)
        return QFontDatabase::hasFamily(family);
    auto it = known->constFind(family);
    if (it == known->constEnd())
        it = known->insert(family, QFontDatabase::hasFamily(family));
    return *it;
}

} // namespace

int namedPixelSize(double points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

StandIn standInFor(const QString &named)
{
    for (const Substitute &s : Substitutes)
        if (named.compare(QLatin1String(s.named), Qt::CaseInsensitive) == 0)
            return {QString::fromLatin1(s.family), s.scale};
    return {};
}

FontChoice chooseFont(const tk::Font &font, QHash<QString, bool> *known)
{
    FontChoice choice;
    choice.family = QString::fromStdString(font.family);
    const int named = font.points > 0 ? namedPixelSize(font.points) : 0;
    choice.pixelSize = named;
    if (choice.family.isEmpty() || installed(choice.family, known))
        return choice;
    const StandIn s = standInFor(choice.family);
    if (s.family.isEmpty())
        return choice;  // left to the system's own font matching
    // Said once a run, where the user starting the program can see it: the
    // text still shows in whatever face the system finds, but may not fit.
    if (known && !known->contains(s.family) && !installed(s.family, known))
        qWarning("velodane: neither %s nor its stand-in %s is installed; Thai text may not fit its controls "
                 "(install the Thai fonts: fonts-thai-tlwg)",
                 qPrintable(choice.family), qPrintable(s.family));
    choice.family = s.family;
    choice.pixelSize = static_cast<int>(std::lround(named * s.scale));
    choice.standIn = true;
    return choice;
}

QFont fontFor(const tk::Font &font, QHash<QString, bool> *known)
{
    const FontChoice choice = chooseFont(font, known);
    QFont f;
    if (!choice.family.isEmpty())
        f.setFamilies(QStringList{choice.family});
    if (choice.pixelSize > 0)
        f.setPixelSize(choice.pixelSize);
    f.setWeight(static_cast<QFont::Weight>(font.weight));
    f.setStyle(QFont::StyleNormal);
    f.setUnderline(false);
    f.setStrikeOut(false);
    // The Thai character set needs nothing more: the text is Unicode, and
    // where a family lacks a character Qt falls back to a face of its script.
    return f;
}

} // namespace vd::qt
