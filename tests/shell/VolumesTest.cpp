#include "shell/Volumes.h"

#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include "FakeVolumeSource.h"
#include "TableRow.h"
#include "platform/MountTable.h"

namespace {

// What a desktop always has: kernel file systems, the system's tmpfs and the root disk.
QByteArray desktop()
{
    return mountLine("0:21", "/proc", "proc", "proc") + mountLine("0:22", "/sys", "sysfs", "sysfs")
        + mountLine("0:5", "/dev", "devtmpfs", "udev")
        + mountLine("0:23", "/dev/pts", "devpts", "devpts")
        + mountLine("0:24", "/run", "tmpfs", "tmpfs") + mountLine("0:40", "/tmp", "tmpfs", "tmpfs")
        + mountLine("8:2", "/", "ext4", "/dev/sda2")
        + mountLine("8:1", "/boot/efi", "vfat", "/dev/sda1");
}

// Letter, type code, display name and mount point of every volume.
QString summary(const Volumes &volumes)
{
    QStringList lines;
    for (const Volume &volume : volumes.volumes())
        lines << QStringLiteral("%1 %2 %3 %4")
                     .arg(volume.letter)
                     .arg(int(volume.type))
                     .arg(volume.displayName, volume.rootPath);
    return lines.join(QLatin1Char('|'));
}

struct MountRow : TableRow {
    QByteArray table;
    QString expected;
};

class MountTableReading : public ::testing::TestWithParam<MountRow> { };

TEST_P(MountTableReading, GivesTheRealVolumesTheirLetters)
{
    FakeVolumeSource source(GetParam().table,
        { { "/dev/sdb1", "MY STICK" }, { "/dev/sr0", "HOLIDAY 2023" } }, { "/dev/mmcblk0p1" });
    Volumes volumes(source);
    EXPECT_EQ(summary(volumes).toStdString(), GetParam().expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Volumes, MountTableReading,
    ::testing::Values(
        MountRow { { "DesktopWithoutExtrasHasOnlyTheRoot" }, desktop(), "C 3 Root (C:) /" },
        MountRow { { "StickTakesItsLabelAndCardReaderItsFolderName" },
            desktop() + mountLine("8:17", "/media/anna/MY\\040STICK", "vfat", "/dev/sdb1")
                + mountLine("179:1", "/mnt/card", "exfat", "/dev/mmcblk0p1")
                + mountLine("8:3", "/home", "ext4", "/dev/sda3"),
            "C 3 Root (C:) /|D 3 home (D:) /home|E 2 MY STICK (E:) /media/anna/MY STICK|"
            "F 2 card (F:) /mnt/card" },
        MountRow { { "NetworkSharesAreRemote" },
            desktop() + mountLine("0:50", "/mnt/nas", "nfs4", "nas:/export/photos")
                + mountLine("0:51", "/mnt/office\\040share", "cifs", "//server/office")
                + mountLine("0:52", "/home/anna/box", "fuse.sshfs", "anna@box:"),
            "C 3 Root (C:) /|D 4 box (D:) /home/anna/box|E 4 nas (E:) /mnt/nas|"
            "F 4 office share (F:) /mnt/office share" },
        MountRow { { "IsoAndDiscAreOpticalSnapImagesAreNone" },
            desktop() + mountLine("7:0", "/snap/core22/1122", "squashfs", "/dev/loop0", "ro")
                + mountLine("7:1", "/var/lib/app/image", "ext4", "/dev/loop1", "ro")
                + mountLine("7:2", "/mnt/iso", "iso9660", "/dev/loop2", "ro")
                + mountLine("11:0", "/media/anna/HOLIDAY\\0402023", "udf", "/dev/sr0", "ro"),
            "C 3 Root (C:) /|D 5 HOLIDAY 2023 (D:) /media/anna/HOLIDAY 2023|E 5 iso (E:) "
            "/mnt/iso" },
        MountRow { { "BindMountsTakeNoLetterADeviceCountsOnceAtItsShortestPoint" },
            desktop() + mountLine("8:3", "/srv/share/home", "ext4", "/dev/sda3")
                + mountLine("8:3", "/srv/pictures", "ext4", "/dev/sda3", "rw", "/anna/pictures")
                + mountLine("8:3", "/data", "ext4", "/dev/sda3")
                + mountLine("8:2", "/var/lib/docker", "ext4", "/dev/sda2"),
            "C 3 Root (C:) /|D 3 data (D:) /data" },
        MountRow { { "UserRamDiskCountsSystemTmpfsDoesNot" },
            desktop() + mountLine("0:60", "/mnt/ramdisk", "tmpfs", "tmpfs")
                + mountLine("0:61", "/run/user/1000", "tmpfs", "tmpfs")
                + mountLine("0:62", "/run/user/1000/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse"),
            "C 3 Root (C:) /|D 6 ramdisk (D:) /mnt/ramdisk" },
        MountRow { { "ContainerOverlayRootIsCAndItsFileBindsAreNone" },
            mountLine("0:70", "/", "overlay", "overlay")
                + mountLine("0:71", "/proc", "proc", "proc")
                + mountLine(
                    "254:1", "/etc/hosts", "ext4", "/dev/vda1", "rw", "/var/lib/docker/c1/hosts")
                + mountLine("254:1", "/work", "ext4", "/dev/vda1", "rw", "/home/anna/work"),
            "C 3 Root (C:) /" },
        MountRow { { "DamagedLinesAreSkipped" },
            desktop() + "garbage\n12 1 8:5 / /mnt/broken rw shared:1\n\n13 1 8:6 / - rw - ext4\n"
                + mountLine("8:4", "/srv", "xfs", "/dev/sda4"),
            "C 3 Root (C:) /|D 3 srv (D:) /srv" },
        MountRow { { "LaterMountHidesTheEarlierAtTheSamePoint" },
            desktop() + mountLine("8:4", "/mnt/x", "xfs", "/dev/sda4")
                + mountLine("0:80", "/mnt/x", "proc", "proc"),
            "C 3 Root (C:) /" }),
    RowName());

TEST(VolumeNotices, AVolumeThatComesAndGoesIsAnnouncedAndKeepsItsLetter)
{
    const QByteArray stick = mountLine("8:17", "/media/anna/STICK", "vfat", "/dev/sdb1");
    const QByteArray nas = mountLine("0:50", "/mnt/nas", "nfs4", "nas:/export");
    FakeVolumeSource source(desktop() + stick);
    Volumes volumes(source);
    QSignalSpy arrived(&volumes, &Volumes::lettersArrived);
    QSignalSpy gone(&volumes, &Volumes::lettersGone);

    source.setMountTable(desktop());
    source.setMountTable(desktop() + nas);
    source.setMountTable(desktop() + nas + stick);

    ASSERT_EQ(gone.count(), 1);
    EXPECT_EQ(gone[0][0].toString(), "D");
    ASSERT_EQ(arrived.count(), 2);
    EXPECT_EQ(arrived[0][0].toString(), "D"); // the first free letter
    EXPECT_EQ(arrived[1][0].toString(), "E");
    EXPECT_EQ(volumes.rootPath('E'), "/media/anna/STICK");
    EXPECT_EQ(volumes.letterOf("/media/anna/STICK/photos/a.jpg"), QChar('E'));
    EXPECT_EQ(volumes.letterOf("/etc"), QChar('C'));
}

} // namespace

TEST(VolumeLabels, UdevEscapesAreUndoneAndAnythingElseStaysAsItIs)
{
    EXPECT_EQ(unescapeLabel("MY\\x20STICK"), "MY STICK");
    EXPECT_EQ(unescapeLabel("photos\\x2fold"), "photos/old");
    // A sign or a blank is no hex digit, though toInt takes one.
    EXPECT_EQ(unescapeLabel("odd\\x-1\\x 5\\x"), "odd\\x-1\\x 5\\x");
}
