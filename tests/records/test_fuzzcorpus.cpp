// Replays the seed corpora of the record fuzz targets.
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

int fuzzDelphiReader(const uint8_t* data, size_t size);
int fuzzMicrosReader(const uint8_t* data, size_t size);
int fuzzEBMSReader(const uint8_t* data, size_t size);
int fuzzOwnRecordsReader(const uint8_t* data, size_t size);
int fuzzBasicTextReader(const uint8_t* data, size_t size);
int fuzzOrvLoader(const uint8_t* data, size_t size);

namespace {

void replay(const char* name, int (*body)(const uint8_t*, size_t))
{
    const QStringList files = testsupport::fuzzCorpus(QString::fromLatin1(name));
    ASSERT_FALSE(files.isEmpty()) << name;
    for (const QString& f : files) {
        const QByteArray bytes = testsupport::readAll(f);
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(body(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
}

} // namespace

TEST(RecordsFuzzCorpus, ReadersAndLoader)
{
    replay("fuzz_records_delphireader", fuzzDelphiReader);
    replay("fuzz_records_microsreader", fuzzMicrosReader);
    replay("fuzz_records_ebmsreader", fuzzEBMSReader);
    replay("fuzz_records_ownrecordsreader", fuzzOwnRecordsReader);
    replay("fuzz_records_basictextreader", fuzzBasicTextReader);
    replay("fuzz_records_orvloader", fuzzOrvLoader);
}
