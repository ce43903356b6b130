// Replays the settings reader's fuzz corpus.
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <cstdint>

int fuzzSettingsReader(const uint8_t* data, size_t size);

TEST(SettingsFuzzCorpus, EverySeedReadsCleanly)
{
    const QStringList files = testsupport::fuzzCorpus(QStringLiteral("settings"));
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        const QByteArray bytes = testsupport::readAll(f);
        EXPECT_EQ(fuzzSettingsReader(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0)
            << f.toStdString();
    }
}
