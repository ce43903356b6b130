#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <cstdint>

int fuzzIniReader(const uint8_t* data, size_t size);
int fuzzPngWriter(const uint8_t* data, size_t size);

TEST(FuzzIniReader, SeedCorpusReplays)
{
    const QStringList files = testsupport::fuzzCorpus("ini");
    ASSERT_GE(files.size(), 5);
    for (const QString& f : files) {
        const QByteArray bytes = testsupport::readAll(f);
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(fuzzIniReader(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
}

TEST(FuzzPngWriter, SeedCorpusReplays)
{
    const QStringList files = testsupport::fuzzCorpus("png");
    ASSERT_GE(files.size(), 5);
    for (const QString& f : files) {
        const QByteArray bytes = testsupport::readAll(f);
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(fuzzPngWriter(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
}
