#include "LayoutFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {
// "MS Sans Serif" where it is installed, otherwise the free narrow sans-serif that stands in
// for it. Resolved once: asking for a missing family makes every font fall back afresh.
QString layoutFamily()
{
    static const QString family = [] {
        const QStringList candidates = {QStringLiteral("MS Sans Serif"),
            QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")};
        for (const QString &candidate : candidates) {
            if (QFontDatabase::hasFamily(candidate))
                return candidate;
        }
        return QStringLiteral("Sans Serif");
    }();
    return family;
}
} // namespace

QFont LayoutFont(int pixelHeight, bool bold, bool italic)
{
    QFont font(layoutFamily());
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
