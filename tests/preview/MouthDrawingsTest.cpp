// Mouth drawings as the preview reads them: Zorvane's own for both built-in
// sets (every shape drawn, each drawing different, sharp at the size asked),
// a user's folder of PNG and SVG files, and folders and files that cannot
// be read (a message naming them, the names shown instead).
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <set>
#include <string>

#include "TestSounds.h"
#include "dialogue/MouthSet.h"
#include "preview/ui/MouthDrawings.h"

namespace zv {
namespace {

// How many pixels of the picture are not transparent.
int InkedPixels(const QPixmap& picture) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return inked;
}

void WriteText(const std::string& path, const std::string& text) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

TEST(MouthDrawings, ZorvaneDrawsEveryShapeOfBothSets) {
    for (const MouthSet& set : {MouthSet::PrestonBlair(), MouthSet::NineShapes()}) {
        const MouthDrawings drawings = MouthDrawings::Load("", set);
        EXPECT_EQ(drawings.Error(), "") << set.Name();
        EXPECT_TRUE(drawings.Missing().empty()) << set.Name();
        std::set<QByteArray> seen;
        for (const std::string& shape : set.Shapes()) {
            ASSERT_TRUE(drawings.Has(shape)) << set.Name() << " " << shape;
            const QPixmap& picture = drawings.Picture(shape, QSize(150, 150), 2.0);
            ASSERT_FALSE(picture.isNull()) << shape;
            // Drawn at the device's pixels, within the box, its proportions kept (200 x 140).
            EXPECT_EQ(picture.width(), 300) << shape;
            EXPECT_EQ(picture.height(), 210) << shape;
            EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(150, 105)) << shape;
            // A mouth, not an empty picture, and no two shapes alike.
            EXPECT_GT(InkedPixels(picture), 2000) << shape;
            const QImage image = picture.toImage();
            seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        EXPECT_EQ(seen.size(), set.Shapes().size()) << set.Name();
    }
}

TEST(MouthDrawings, AUsersSetHasNoDrawingsOfOurs) {
    std::string error;
    const auto robot = MouthSet::FromJson(
        R"({"name": "Robot", "shapes": ["Open", "Shut"], "rest": "Shut", "phonemes": {"AA": "Open"}})", "", error);
    ASSERT_TRUE(robot) << error;
    const MouthDrawings drawings = MouthDrawings::Load("", *robot);
    EXPECT_EQ(drawings.Missing(), (std::vector<std::string>{"Open", "Shut"}));
    EXPECT_EQ(drawings.Error(), "");
    EXPECT_TRUE(drawings.Picture("Open", QSize(100, 100), 1.0).isNull());
}

// A new empty folder in `dir`.
std::string Folder(const test::TempDir& dir, const std::string& name) {
    const std::string path = dir.File(name);
    QDir().mkpath(QString::fromStdString(path));
    return path;
}

TEST(MouthDrawings, AFolderOfPngAndSvgAndABrokenFile) {
    test::TempDir tmp;
    const std::string folder = Folder(tmp, "Ann");
    const auto file = [&](const char* name) { return folder + "/" + name; };
    QImage red(40, 20, QImage::Format_ARGB32);
    red.fill(QColor(200, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(file("MBP.png"))));
    WriteText(file("AI.svg"), R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100" viewBox="0 0 100 100">)"
                                  R"(<circle cx="50" cy="50" r="40" fill="#00f"/></svg>)");
    WriteText(file("O.png"), "not a picture at all");
    WriteText(file("U.svg"), "<svg broken");
    const MouthDrawings drawings = MouthDrawings::Load(folder, MouthSet::PrestonBlair());
    EXPECT_TRUE(drawings.Has("MBP"));
    EXPECT_TRUE(drawings.Has("AI"));
    EXPECT_FALSE(drawings.Has("O"));
    EXPECT_FALSE(drawings.Has("U"));
    // Every shape of the set without a drawing, those that failed among them.
    EXPECT_EQ(drawings.Missing(), (std::vector<std::string>{"E", "O", "U", "etc", "L", "WQ", "FV", "rest"}));
    // The message names the files that failed, and only them.
    EXPECT_NE(drawings.Error().find("O.png"), std::string::npos) << drawings.Error();
    EXPECT_NE(drawings.Error().find("U.svg"), std::string::npos) << drawings.Error();
    EXPECT_EQ(drawings.Error().find("MBP.png"), std::string::npos) << drawings.Error();
    EXPECT_NE(drawings.Error().find(folder), std::string::npos) << drawings.Error();
    // The PNG keeps its proportions (2:1) and its colour.
    const QPixmap& mbp = drawings.Picture("MBP", QSize(100, 100), 1.0);
    EXPECT_EQ(mbp.size(), QSize(100, 50));
    EXPECT_EQ(mbp.toImage().pixelColor(50, 25), QColor(200, 0, 0));
    const QPixmap& ai = drawings.Picture("AI", QSize(60, 80), 1.0);
    EXPECT_EQ(ai.size(), QSize(60, 60));
    EXPECT_EQ(ai.toImage().pixelColor(30, 30), QColor(0, 0, 255));
}

TEST(MouthDrawings, AFolderThatCannotBeReadNamesItself) {
    test::TempDir dir;
    const std::string gone = dir.File("no such folder");
    MouthDrawings drawings = MouthDrawings::Load(gone, MouthSet::NineShapes());
    EXPECT_NE(drawings.Error().find(gone), std::string::npos);
    EXPECT_NE(drawings.Error().find("does not exist"), std::string::npos);
    EXPECT_EQ(drawings.Missing().size(), 9u);
    WriteText(dir.File("A.png"), "x");
    drawings = MouthDrawings::Load(dir.File("A.png"), MouthSet::NineShapes());
    EXPECT_NE(drawings.Error().find("not a folder"), std::string::npos);
    // An empty folder is readable: everything is missing, nothing to tell.
    drawings = MouthDrawings::Load(Folder(dir, "empty"), MouthSet::NineShapes());
    EXPECT_EQ(drawings.Error(), "");
    EXPECT_EQ(drawings.Missing().size(), 9u);
}

} // namespace
} // namespace zv
