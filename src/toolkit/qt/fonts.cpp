#include "toolkit/qt/fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <QtGlobal>

namespace vd::qt {

namespace {

bool installed(const QString &family, QHash<QString, bool> *known)
{
    if (!known)
        return QFontDatabase::hasFamily(family);
    auto it = known->constFind(family);
    if (it == known->constEnd())
        it = known->insert(family, QFontDatabase::hasFamily(family));
    return *it;
}

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

bool carryThaiFace(QHash<QString, bool> *known)
{
    const QString family = fromUtf8(tk::CarriedFamily);
    if (installed(family, known))
        return true;
    if (QFontDatabase::addApplicationFont(QStringLiteral(":/faces/Loma-Bold.ttf")) < 0 ||
        !QFontDatabase::hasFamily(family))
        return false;
    // Said once a run: the faces the system lacks.
    const std::string notice = tk::missingFacesWarning(
        [](const std::string &f) { return QFontDatabase::hasFamily(fromUtf8(f)) && f != tk::CarriedFamily; }, true);
    qWarning("%s", notice.c_str());
    if (known)
        known->insert(family, true);
    return true;
}

StandIn standInFor(const QString &named)
{
    const auto standIns = tk::standInsFor(named.toStdString());
    if (standIns.empty())
        return {};
    return {fromUtf8(standIns.front().family), standIns.front().scale};
}

FontChoice chooseFont(const tk::Font &font, QHash<QString, bool> *known, int dpi)
{
    // Whether the stand-ins were asked about before: the missing fonts are
    // said once a run, where the user starting the program can see it. The
    // text still shows in whatever face the system finds, but may not fit.
    const auto standIns = tk::standInsFor(font.family);
    const bool asked = !standIns.empty() && known && known->contains(fromUtf8(standIns.front().family));
    const auto drawable = [known](const std::string &family) {
        return installed(fromUtf8(family), known) || (family == tk::CarriedFamily && carryThaiFace(known));
    };
    const tk::FontChoice c = tk::chooseFont(font, drawable, dpi);
    if (c.missing && known && !asked) {
        const std::string warning =
            tk::missingFacesWarning([known](const std::string &family) { return installed(fromUtf8(family), known); });
        qWarning("%s", warning.c_str());
    }
    return {fromUtf8(c.family), c.pixelSize, c.standIn};
}

QFont fontFor(const tk::Font &font, QHash<QString, bool> *known, int dpi)
{
    const FontChoice choice = chooseFont(font, known, dpi);
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
