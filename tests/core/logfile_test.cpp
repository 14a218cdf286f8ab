#include "core/LogFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <cerrno>

using namespace cantorix;

TEST(LogFile, NameCarriesTheLocalesAbbreviatedMonth)
{
    QDateTime when(QDate(2026, 12, 8), QTime(21, 20, 14));
    EXPECT_EQ(LogFileName(when, QLocale(QLocale::English)), "Cantorix.2026-Dec-08 [21-20-14].log");
    QDateTime morning(QDate(2027, 3, 1), QTime(7, 5, 9));
    EXPECT_EQ(LogFileName(morning, QLocale(QLocale::French)),
              "Cantorix.2027-" + QLocale(QLocale::French).monthName(3, QLocale::ShortFormat) + "-01 [07-05-09].log");
}

TEST(LogFile, WritesCrLfLinesAndReplacesAnOlderFile)
{
    cantorix::test::TempDir dir;
    QString path = QString::fromStdString(dir.file("x.log"));
    EXPECT_TRUE(SaveLogLines({"first"}, path));
    EXPECT_TRUE(SaveLogLines({"1 audio files found in \"/m/\"", "Motörhead"}, path));
    EXPECT_EQ(cantorix::test::readText(dir.file("x.log")), "1 audio files found in \"/m/\"\r\nMotörhead\r\n");
    EXPECT_EQ(cantorix::test::listFiles(dir.str()), std::vector<std::string>{"x.log"});

    IoResult failed = SaveLogLines({"a"}, "/nonexistent-folder/x.log");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "Cannot create file \"/nonexistent-folder/x.log\". No such file or directory");
    EXPECT_EQ(failed.code, ENOENT);
}
