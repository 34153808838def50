#include "location/TKoDriveComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "FakeVolumeSource.h"
#include "TableRow.h"
#include "WaitFor.h"
#include "location/TDriveInfo.h"
#include "platform/Failure.h"
#include "shell/Volumes.h"

namespace {

const QByteArray root = mountLine("8:2", "/", "ext4", "/dev/sda2");
const QByteArray data = mountLine("8:17", "/media/anna/Data", "vfat", "/dev/sdb1");
const QByteArray photos = mountLine("8:33", "/srv/photos", "ext4", "/dev/sdc1");
const QByteArray share = mountLine("0:51", "/mnt/office\\040share", "cifs", "//server/office");

// A drive selector over a fake mount table, as the application builds it.
struct Selector {
    explicit Selector(const QByteArray &table)
        : source(table, { { "/dev/sdb1", "Data" }, { "/dev/sdc1", "Photos (old)" } })
    {
    }
    FakeVolumeSource source;
    Volumes volumes { source };
    TDriveInfo driveInfo { volumes };
    FakePrompts prompts;
    TKoDriveComboBox combo { driveInfo, prompts };

    QString items() const
    {
        QStringList texts;
        for (int index = 0; index < combo.count(); ++index)
            texts << combo.itemText(index);
        return texts.join(QLatin1Char('|'));
    }
};

struct DriveRow : TableRow {
    QByteArray table;
    TVolumeDisplayStyle style;
    char write; // a Drive write after the list is built, 0 for none
    QString items;
    QString current;
    char drive;
    QString failure = {};
};

class DriveSelectorNames : public ::testing::TestWithParam<DriveRow> { };

TEST_P(DriveSelectorNames, ListsAndSelects)
{
    const DriveRow &row = GetParam();
    Selector selector(row.table);
    selector.combo.setDisplayStyle(row.style);
    selector.combo.show();
    QString failure;
    try {
        if (row.write)
            selector.combo.setDrive(QLatin1Char(row.write));
    } catch (const Failure &error) {
        failure = error.message();
    }
    EXPECT_EQ(selector.items(), row.items);
    EXPECT_EQ(selector.combo.currentText(), row.current);
    EXPECT_EQ(selector.combo.Drive(), QLatin1Char(row.drive));
    EXPECT_EQ(failure, row.failure);
}

INSTANTIATE_TEST_SUITE_P(DriveSelector, DriveSelectorNames,
    ::testing::Values(DriveRow { { "VolumeNameAloneInTheDefaultStyle" }, root + data, doPrettyName,
                          0, "C: Root|D: Data", "C: Root", 'C' },
        DriveRow { { "DisplayNameStyleKeepsTheLetterInParentheses" }, root + data, doDisplayName, 0,
            "Root (C:)|Data (D:)", "Root (C:)", 'C' },
        DriveRow { { "ALabelWithParenthesesShowsTheLetterOnce" }, root + photos, doPrettyName, 0,
            "C: Root|D: Photos (old)", "C: Root", 'C' },
        DriveRow { { "NetworkDriveShowsTheFirstWordOfItsName" }, root + share, doPrettyName, 0,
            "C: Root|D: office", "C: Root", 'C' },
        DriveRow { { "NetworkDriveLongNameIsItsConnection" }, root + share, doLongPrettyName, 0,
            "C: Root|D: //server/office", "C: Root", 'C' },
        DriveRow { { "WithoutDriveCTheFirstIsSelectedAndDriveStaysC" }, data + share, doPrettyName,
            0, "D: Data|E: office", "D: Data", 'C' },
        DriveRow { { "LowerCaseWriteSelectsTheDrive" }, root + data, doPrettyName, 'd',
            "C: Root|D: Data", "D: Data", 'D' },
        DriveRow { { "WriteOfAMissingDriveChangesNothing" }, root + data, doPrettyName, 'q',
            "C: Root|D: Data", "C: Root", 'C' },
        DriveRow { { "WriteOfANonLetterIsRefused" }, root + data, doPrettyName, '1',
            "C: Root|D: Data", "C: Root", 'C', "1 is a invalid drive letter." }),
    RowName());

TEST(DriveTable, LowerCaseLettersAreInvalidExceptForReading)
{
    Selector selector(root + data);
    EXPECT_THROW(selector.driveInfo.GetPrettyName('d'), Failure);
    EXPECT_FALSE(selector.driveInfo.GetDriveRecord('D').InfoRead);
    selector.driveInfo.ReadDriveInfo('d', diNames);
    EXPECT_EQ(selector.driveInfo.GetDriveRecord('D').PrettyName, "D: Data");
    EXPECT_EQ(selector.driveInfo.GetPrettyName('Q'), "Q:");
}

TEST(DriveSelector, FollowsVolumesMountedAndUnmountedWhileItIsListed)
{
    Selector selector(root + data);
    selector.combo.show();
    selector.source.setMountTable(root + data + share);
    EXPECT_EQ(selector.items(), "C: Root|D: Data|E: office");
    selector.source.setMountTable(root + share);
    EXPECT_EQ(selector.items(), "C: Root|E: office");
    selector.source.setMountTable(root + share + data);
    EXPECT_EQ(selector.items(), "C: Root|D: Data|E: office") << "Data takes back its letter";
}

TEST(DriveSelector, ChoosingWithMouseAndKeysRaisesTheChangeWithDriveSet)
{
    QWidget window; // first, so that it outlives the selector it holds
    Selector selector(root + data + share);
    auto *layout = new QVBoxLayout(&window);
    selector.combo.setParent(&window);
    selector.combo.setFixedWidth(60);
    layout->addWidget(&selector.combo);
    layout->addStretch();
    window.resize(240, 160);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ_SOON(selector.combo.count(), 3);
    QSignalSpy changed(&selector.combo, &TKoDriveComboBox::OnChange);
    QSignalSpy closed(&selector.combo, &TKoCustomComboBox::OnCloseUp);
    QList<QChar> drives;
    QObject::connect(
        &selector.combo, &TKoDriveComboBox::OnChange, [&] { drives << selector.combo.Drive(); });

    QTest::mouseClick(&selector.combo, Qt::LeftButton);
    QAbstractItemView *list = selector.combo.view();
    EXPECT_SOON(list->isVisible());
    const QFontMetrics metrics(selector.combo.font());
    const int widest = qMax(metrics.horizontalAdvance("C: Root"),
        qMax(metrics.horizontalAdvance("D: Data"), metrics.horizontalAdvance("E: office")));
    EXPECT_EQ(list->window()->width(), widest + 22 + 8);
    window.grab().save("/tmp/h13-selector-open.png");
    list->window()->grab().save("/tmp/h13-dropped-list.png");

    // The list ignores a release that comes too soon after it opened, so click until it takes.
    const QPoint dataItem = list->visualRect(selector.combo.model()->index(1, 0)).center();
    EXPECT_SOON(
        (QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, dataItem), !changed.isEmpty()));
    EXPECT_EQ_SOON(closed.count(), 1);
    EXPECT_TRUE(closed[0][0].toBool());

    QTest::keyClick(&selector.combo, Qt::Key_F4);
    EXPECT_SOON(list->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ_SOON(closed.count(), 2);
    EXPECT_FALSE(closed[1][0].toBool());

    QTest::keyClick(&selector.combo, Qt::Key_Down);
    EXPECT_EQ(drives, QList<QChar>({ 'D', 'E' }));
    EXPECT_EQ(selector.combo.currentText(), "E: office");
    window.grab().save("/tmp/h13-selector.png");
}

} // namespace
