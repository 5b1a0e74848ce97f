#include "controls/SvgIcon.h"

#include "TestSupport.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage drawn(const QIcon& icon, QIcon::Mode mode) {
    return icon.pixmap(QSize(16, 16), 1.0, mode).toImage();
}

} // namespace

// One icon per file, drawn as Qt's own SVG icons are: the shape kept within
// the size asked for, and the disabled look the style gives.
TEST(SvgIcon, DrawsAsQtsSvgIconAndIsMadeOncePerFile) {
    testsupport::TempDir dir;
    const std::string path = dir.file("wide.svg");
    testsupport::WriteBytes(path, "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
                                  "<rect x='1' y='1' width='12' height='8' fill='#1060c0'/>"
                                  "<circle cx='16' cy='5' r='3' fill='#e04010'/></svg>");
    const QString file = QString::fromStdString(path);
    const QIcon ours = SvgIcon(file);
    ASSERT_FALSE(ours.isNull());
    EXPECT_EQ(SvgIcon(file).cacheKey(), ours.cacheKey());
    const QIcon qts(file);
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        const QImage image = drawn(ours, mode);
        EXPECT_EQ(image.size(), QSize(16, 8)) << mode;
        EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32),
                  drawn(qts, mode).convertToFormat(QImage::Format_ARGB32))
            << mode;
    }
    EXPECT_NE(drawn(ours, QIcon::Normal), drawn(ours, QIcon::Disabled));

    testsupport::WriteBytes(dir.file("broken.svg"), "<svg");
    EXPECT_TRUE(SvgIcon(QString::fromStdString(dir.file("broken.svg"))).isNull());
}
