// Company logos of the demo database, drawn without fonts: each initial is a 5 x 7 block glyph scaled up,
// so the PNG bytes are the same on every machine and need no QGuiApplication.
#include "DemoGenerator.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Rows of the capital letters A to Z, '#' for a filled block.
const char* const kGlyphs[26][kGlyphHeight] = {
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}, // A
    {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}, // B
    {".####", "#....", "#....", "#....", "#....", "#....", ".####"}, // C
    {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}, // D
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}, // E
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}, // F
    {".####", "#....", "#....", "#..##", "#...#", "#...#", ".####"}, // G
    {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}, // H
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}, // I
    {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}, // J
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}, // K
    {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}, // L
    {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}, // M
    {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}, // N
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}, // O
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}, // P
    {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}, // Q
    {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}, // R
    {".####", "#....", "#....", ".###.", "....#", "....#", "####."}, // S
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}, // T
    {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}, // U
    {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}, // V
    {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}, // W
    {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}, // X
    {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}, // Y
    {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}, // Z
};

} // namespace

QByteArray DemoGenerator::companyLogo(const QString& initials, unsigned rgb) {
    constexpr int width = 240;
    constexpr int height = 100;
    constexpr int block = 8;
    constexpr int gap = 8;

    QString letters;
    for (const QChar c : initials.toUpper())
        if (c >= u'A' && c <= u'Z')
            letters += c;
    letters = letters.left(4);

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(QRgb(rgb)));
    {
        QPainter painter(&image);
        const QColor white(Qt::white);
        // A frame inside the edge, and the glyphs centred.
        painter.fillRect(4, 4, width - 8, 3, white);
        painter.fillRect(4, height - 7, width - 8, 3, white);
        painter.fillRect(4, 4, 3, height - 8, white);
        painter.fillRect(width - 7, 4, 3, height - 8, white);

        const int count = int(letters.size());
        const int textWidth = count * kGlyphWidth * block + std::max(0, count - 1) * gap;
        int x0 = (width - textWidth) / 2;
        const int y0 = (height - kGlyphHeight * block) / 2;
        for (const QChar c : letters) {
            const auto& glyph = kGlyphs[c.unicode() - u'A'];
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int col = 0; col < kGlyphWidth; ++col)
                    if (glyph[row][col] == '#')
                        painter.fillRect(x0 + col * block, y0 + row * block, block, block, white);
            x0 += kGlyphWidth * block + gap;
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
