#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <string>

#include "sysinfo/sysreport.h"

namespace {

/* A machine's drives: which letters are CD-ROM drives, which of those the
 * hardware tree describes, and which letters were looked at. */
struct FakeDrives {
    std::string cdrom;
    std::string described;
    std::string examined;
    std::string descriptionsAsked;
};

int FakeIsCdRom(char letter, void *context)
{
    FakeDrives *d = static_cast<FakeDrives *>(context);
    d->examined += letter;
    return d->cdrom.find(letter) != std::string::npos;
}

int FakeDescribe(char letter, char *description, void *context)
{
    FakeDrives *d = static_cast<FakeDrives *>(context);
    d->descriptionsAsked += letter;
    /* A failed search leaves its mark in the buffer, as the walk does. */
    snprintf(description, CD_DESCRIPTION_SIZE, "Device of %c", letter);
    return d->described.find(letter) != std::string::npos;
}

unsigned long Mask(const char *letters)
{
    unsigned long mask = 0;
    for (const char *p = letters; *p; p++)
        mask |= 1ul << (*p - 'A');
    return mask;
}

std::string Letters(const CdDriveList &list)
{
    std::string s;
    for (int i = 0; i < list.count; i++)
        s += list.drives[i].letter;
    return s;
}

}

TEST(DriveInventory, AtMostThreeDrivesAndLaterLettersUnexamined)
{
    FakeDrives d = { "DEFG", "DEFG", "", "" };
    DriveFacts facts = { FakeIsCdRom, FakeDescribe, &d };
    CdDriveList list;
    EXPECT_EQ(FillCdDriveList(&list, Mask("ACDEFGH"), &facts), 3);
    EXPECT_EQ(Letters(list), "DEF");
    EXPECT_EQ(d.examined, "ACDEF");
    EXPECT_EQ(d.descriptionsAsked, "DEF");
    EXPECT_STREQ(list.drives[2].description, "Device of F");
}

TEST(DriveInventory, UndescribedDriveLeavesItsRecordToTheNext)
{
    FakeDrives d = { "EF", "F", "", "" };
    DriveFacts facts = { FakeIsCdRom, FakeDescribe, &d };
    CdDriveList list;
    EXPECT_EQ(FillCdDriveList(&list, Mask("CEF"), &facts), 1);
    EXPECT_EQ(list.drives[0].letter, 'F');
    EXPECT_STREQ(list.drives[0].description, "Device of F");
    EXPECT_EQ(list.drives[1].letter, '?');
}

TEST(DriveInventory, EmptyMaskOrNoCdRomGivesEmptyList)
{
    FakeDrives d = { "DE", "DE", "", "" };
    DriveFacts facts = { FakeIsCdRom, FakeDescribe, &d };
    CdDriveList list;
    list.count = 2;
    EXPECT_EQ(FillCdDriveList(&list, 0, &facts), 0);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(d.examined, "");
    EXPECT_EQ(FillCdDriveList(&list, Mask("AC"), &facts), 0);
    for (const CdDrive &drive : list.drives) {
        EXPECT_EQ(drive.letter, '?');
        EXPECT_STREQ(drive.description, "");
    }
    /* Bit 25 is Z; bits above it are no drives. */
    FakeDrives z = { "Z", "Z", "", "" };
    DriveFacts zFacts = { FakeIsCdRom, FakeDescribe, &z };
    EXPECT_EQ(FillCdDriveList(&list, Mask("Z") | 0xFC000000ul, &zFacts), 1);
    EXPECT_EQ(Letters(list), "Z");
    EXPECT_EQ(z.examined, "Z");
}
