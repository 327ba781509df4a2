// The program's own icon: a white command key on a dark rounded square, drawn from the
// SVG built into the program.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

TEST(ProgramIcon, TheBuiltInSvgDrawsACommandKeyInARoundedSquare) {
    QSvgRenderer renderer(QStringLiteral(":/tavlin/tavlin.svg"));
    ASSERT_TRUE(renderer.isValid());
    QImage image(96, 96, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();

    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);            // rounded corner: transparent
    const QColor body = image.pixelColor(48, 6);          // top edge of the square: dark
    EXPECT_EQ(body.alpha(), 255);
    EXPECT_LT(body.lightness(), 80);
    // The loops of the key: white strokes at the four corners of the glyph's square.
    const QColor loop = image.pixelColor(int(38 * 96 / 24.0 / 4), int(30 * 96 / 24.0 / 4)); // (9.5, 7.5)
    EXPECT_GT(loop.lightness(), 180);
}
