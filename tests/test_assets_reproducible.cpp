// The committed assets are exactly what the generators make today.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const QString kAssets = QStringLiteral(TOLVEX_ASSETS_DIR);

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Regenerated : public ::testing::Test {
protected:
    // A generator that fails must fail every test here: an assertion in
    // SetUpTestSuite would only have them reported as skipped.
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        if (!s_dir->isValid()) {
            s_failure = "no scratch folder";
            return;
        }
        for (const char* tool : {MAKE_PICTURES, MAKE_TONES}) {
            QProcess run;
            run.start(QString::fromLocal8Bit(tool), {s_dir->path()});
            if (!run.waitForFinished(120000) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
                s_failure = std::string(tool) + " failed: " + run.readAllStandardError().toStdString();
                return;
            }
        }
    }

    void SetUp() override { ASSERT_TRUE(s_failure.empty()) << s_failure; }

    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    static QString fresh(const QString& relative) { return s_dir->filePath(relative); }

    static QStringList generated(const QStringList& patterns)
    {
        QStringList names;
        QDirIterator it(s_dir->path(), patterns, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) names << QDir(s_dir->path()).relativeFilePath(it.next());
        names.sort();
        return names;
    }

    static QTemporaryDir* s_dir;
    static std::string s_failure;
};

QTemporaryDir* Regenerated::s_dir = nullptr;
std::string Regenerated::s_failure;

// GIF pictures, WAVE tones and the SVG icon come out byte for byte as committed.
TEST_F(Regenerated, picturesTonesAndSvgAreByteIdentical)
{
    const QStringList names = generated({"*.gif", "*.wav", "*.svg"});
    // Eight pad pictures, each also at 2x and 3x.
    EXPECT_EQ(names.size(), 8 * 3 + 16 + 1);
    for (const QString& name : names) {
        const QByteArray committed = contents(kAssets + "/" + name);
        ASSERT_FALSE(committed.isEmpty()) << name.toStdString() << " is not committed";
        EXPECT_TRUE(committed == contents(fresh(name))) << name.toStdString() << " differs from its generator's output";
    }
}

// PNG files may be compressed differently by another zlib; their pixels must not differ.
TEST_F(Regenerated, pngPixelsAreIdentical)
{
    const QStringList names = generated({"*.png"});
    // Five icons and the hand, the 32-pixel icon and the hand also at 2x and 3x.
    EXPECT_EQ(names.size(), 6 + 2 * 2);
    for (const QString& name : names) {
        const QImage committed(kAssets + "/" + name);
        const QImage now(fresh(name));
        ASSERT_FALSE(committed.isNull()) << name.toStdString();
        EXPECT_TRUE(committed.convertToFormat(QImage::Format_ARGB32) == now.convertToFormat(QImage::Format_ARGB32))
            << name.toStdString();
    }
}

// JPEG encoders may round differently; the logo, and its 2x and 3x variants,
// must decode to practically the same picture.
TEST_F(Regenerated, logoDecodesToTheSamePicture)
{
    EXPECT_EQ(generated({"*.jpg"}).size(), 3);
    for (const QString name : {"pictures/logo.jpg", "pictures/logo@2x.jpg", "pictures/logo@3x.jpg"}) {
        const QImage committed = QImage(kAssets + "/" + name).convertToFormat(QImage::Format_RGB32);
        const QImage now = QImage(fresh(name)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(committed.isNull()) << name.toStdString() << " is not committed";
        ASSERT_EQ(committed.size(), now.size()) << name.toStdString();
        long long diff = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x) {
                const QRgb a = committed.pixel(x, y), b = now.pixel(x, y);
                diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(double(diff) / (3.0 * now.width() * now.height()), 1.0) << name.toStdString();
    }
}

} // namespace
