#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <cstdint>

int fuzzIniReader(const uint8_t* data, size_t size);
int fuzzPngWriter(const uint8_t* data, size_t size);

TEST(FuzzBodies, SeedCorpusReplays)
{
    const struct {
        const char* corpus;
        int (*body)(const uint8_t*, size_t);
    } bodies[] = {{"ini", fuzzIniReader}, {"png", fuzzPngWriter}};
    for (const auto& b : bodies) {
        const QStringList files = testsupport::fuzzCorpus(QString::fromLatin1(b.corpus));
        ASSERT_GE(files.size(), 5) << b.corpus;
        for (const QString& f : files) {
            const QByteArray bytes = testsupport::readAll(f);
            SCOPED_TRACE(f.toStdString());
            EXPECT_EQ(b.body(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
        }
    }
}
