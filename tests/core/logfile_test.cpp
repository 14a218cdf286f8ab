#include "core/LogFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <stdexcept>

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
    SaveLogLines({"first"}, path);
    SaveLogLines({"1 audio files found in \"/m/\"", "Motörhead"}, path);
    EXPECT_EQ(cantorix::test::readText(dir.file("x.log")), "1 audio files found in \"/m/\"\r\nMotörhead\r\n");
    EXPECT_EQ(cantorix::test::listFiles(dir.str()), std::vector<std::string>{"x.log"});
    EXPECT_THROW(SaveLogLines({"a"}, "/nonexistent-folder/x.log"), std::runtime_error);
}
