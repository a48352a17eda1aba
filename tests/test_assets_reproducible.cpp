// The committed assets are exactly what the generators make today.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QString kAssets = QStringLiteral(TOLVEX_ASSETS_DIR);

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Regenerated : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        for (const char* tool : {MAKE_PICTURES, MAKE_TONES}) {
            QProcess run;
            run.start(QString::fromLocal8Bit(tool), {s_dir->path()});
            ASSERT_TRUE(run.waitForFinished(120000)) << tool;
            ASSERT_EQ(run.exitStatus(), QProcess::NormalExit) << tool;
            ASSERT_EQ(run.exitCode(), 0) << tool << ": " << run.readAllStandardError().toStdString();
        }
    }

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
        while (it.hasNext())
            names << QDir(s_dir->path()).relativeFilePath(it.next());
        names.sort();
        return names;
    }

    static QTemporaryDir* s_dir;
};

QTemporaryDir* Regenerated::s_dir = nullptr;

// GIF pictures, WAVE tones and the SVG icon come out byte for byte as committed.
TEST_F(Regenerated, picturesTonesAndSvgAreByteIdentical)
{
    const QStringList names = generated({"*.gif", "*.wav", "*.svg"});
    EXPECT_EQ(names.size(), 8 + 16 + 1);
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
    EXPECT_EQ(names.size(), 6);
    for (const QString& name : names) {
        const QImage committed(kAssets + "/" + name);
        const QImage now(fresh(name));
        ASSERT_FALSE(committed.isNull()) << name.toStdString();
        EXPECT_TRUE(committed.convertToFormat(QImage::Format_ARGB32) == now.convertToFormat(QImage::Format_ARGB32))
            << name.toStdString();
    }
}

// JPEG encoders may round differently; the logo must decode to practically the same picture.
TEST_F(Regenerated, logoDecodesToTheSamePicture)
{
    const QImage committed = QImage(kAssets + "/pictures/logo.jpg").convertToFormat(QImage::Format_RGB32);
    const QImage now = QImage(fresh("pictures/logo.jpg")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(committed.size(), now.size());
    long long diff = 0;
    for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x) {
            const QRgb a = committed.pixel(x, y), b = now.pixel(x, y);
            diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(double(diff) / (3.0 * now.width() * now.height()), 1.0);
}

} // namespace
