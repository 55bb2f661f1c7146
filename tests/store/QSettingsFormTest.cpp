#include "store/SettingsStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <QSettings>
#include <QString>

#include <string>
#include <vector>

namespace veltrap {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

// Files written by the earlier program, which kept its state through Qt's
// QSettings, must read the same; files written now must read back there.
// QSettings is the oracle for both directions.
const std::vector<std::string>& Texts() {
    static const std::vector<std::string> kTexts = {
        "",
        "plain.example,",
        "a.com,b.com,c.com,",
        "10",
        " blanks around ",
        "@at the start",
        "@@twice",
        "semi;colon=equals",
        "quote\"back\\slash",
        std::string("nul\0"
                    "1f",
                    6),
        "tab\there\nnew\rline\x01\x1f\x7f",
        "caf\xc3\xa9 \xe2\x82\xac",
        "@ByteArray(not bytes)",
    };
    return kTexts;
}

std::string FromQt(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',').toStdString();
    }
    return value.toString().toStdString();
}

TEST(QSettingsFormTest, WhatQtWroteReadsTheSame) {
    for (const std::string& text : Texts()) {
        TempDir dir;
        {
            QSettings qt(QString::fromStdString(dir.File("qt.ini")), QSettings::IniFormat);
            qt.setValue("PageList", QString::fromUtf8(text.data(), text.size()));
            qt.sync();
            ASSERT_EQ(qt.status(), QSettings::NoError);
        }
        EXPECT_EQ(SettingsStore(dir.File("qt.ini")).Read(SettingsStore::kPageList), text) << text;
    }
}

TEST(QSettingsFormTest, WhatIsWrittenNowReadsTheSameInQt) {
    for (const std::string& text : Texts()) {
        TempDir dir;
        WriteFileBytes(dir.File("ours.ini"), "[General]\nLinkDomain=3\n\n[Other]\nPageList=x\n");
        ASSERT_TRUE(SettingsStore(dir.File("ours.ini")).Write(SettingsStore::kPageList, text));
        QSettings qt(QString::fromStdString(dir.File("ours.ini")), QSettings::IniFormat);
        EXPECT_EQ(FromQt(qt.value("PageList")), text) << text;
        EXPECT_EQ(FromQt(qt.value("LinkDomain")), "3");
        EXPECT_EQ(FromQt(qt.value("Other/PageList")), "x");
    }
}

}  // namespace
}  // namespace veltrap
