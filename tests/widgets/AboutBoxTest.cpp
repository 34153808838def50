#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "files/pathhelpers.h"
#include "platform/FileDates.h"
#include "widgets/TAboutF.h"

namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    }

    FakePrompts prompts;
    QTemporaryDir folder;
    TAboutF about { prompts, folder.path() };
    QSignalSpy finished { &about, &QDialog::finished };
};

TEST_F(AboutBox, EscapeInTheTextAreaCancels)
{
    about.textArea()->setFocus();
    QTest::keyClick(about.textArea(), Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), QDialog::Rejected);
}

TEST_F(AboutBox, CloseButtonAnswersOk)
{
    EXPECT_EQ(QApplication::focusWidget(), about.closeButton()) << "first in the tab order";
    QTest::keyClick(about.closeButton(), Qt::Key_Space);
    EXPECT_FALSE(about.isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), QDialog::Accepted);
}

TEST_F(AboutBox, CloseBoxCancels)
{
    about.windowHandle()->close();
    EXPECT_FALSE(about.isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), QDialog::Rejected);
}

TEST_F(AboutBox, CtrlAltBAddsTheBuildDateForTheRestOfTheRun)
{
    EXPECT_EQ(about.versionLabel()->text(), QStringLiteral("Version 1.0"));
    QTest::keyClick(about.textArea(), Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
    const QString date = fdatestr(QCoreApplication::applicationFilePath());
    ASSERT_FALSE(date.isEmpty());
    EXPECT_EQ(about.versionLabel()->text(), QStringLiteral("Version 1.0 (") + date + ")");
    about.hide();
    about.show();
    EXPECT_EQ(about.versionLabel()->text(), QStringLiteral("Version 1.0 (") + date + ")");
    EXPECT_TRUE(about.findChildren<QMenuBar *>().isEmpty()) << "no menu is shown";
}

TEST_F(AboutBox, TextNamesThisRunsFilesAndCanBeCopied)
{
    const QString text = about.textArea()->toPlainText();
    EXPECT_TRUE(text.contains(folder.path() + QStringLiteral("/quilletfiles.his")))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(text.contains(QStringLiteral("libjpeg")));

    about.textArea()->setFocus();
    QTest::keyClick(about.textArea(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(about.textArea(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), text);
}

} // namespace
