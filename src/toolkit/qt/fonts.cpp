#include "toolkit/qt/fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <array>

namespace vd::qt {

namespace {
struct StandIn {
    const char *named;
    const char *family;
    double scale;  // points of the stand-in per point of the named font
};
// Kinnari is the TLWG face closest to the UPC faces' looped, upright letters.
constexpr std::array<StandIn, 2> StandIns{{
    {"KodchiangUPC", "Kinnari", 0.66},
    {"AngsanaUPC", "Kinnari", 0.66},
}};
} // namespace

QFont fontFor(const tk::Font &font)
{
    QFont f;
    QString family = QString::fromStdString(font.family);
    double points = font.points;
    if (!family.isEmpty() && !QFontDatabase::hasFamily(family)) {
        for (const StandIn &s : StandIns) {
            if (family.compare(QLatin1String(s.named), Qt::CaseInsensitive) == 0) {
                family = QString::fromLatin1(s.family);
                points *= s.scale;
                break;
            }
        }
    }
    if (!family.isEmpty())
        f.setFamilies(QStringList{family});
    if (points > 0)
        f.setPointSizeF(points);
    f.setWeight(static_cast<QFont::Weight>(font.weight));
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

} // namespace vd::qt
