#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "sysinfo/drivelist.h"
#include "sysinfo/keywalk.h"

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

namespace {

/* Which drive roots hold Setup.exe, and which letters were asked. */
struct SetupRoots {
    std::string holding;
    std::string asked;
};

int RootHoldsSetup(char letter, void *context)
{
    SetupRoots *roots = static_cast<SetupRoots *>(context);
    roots->asked += letter;
    return roots->holding.find(letter) != std::string::npos;
}

/* An inventory of drives of those letters, in letter order. */
CdDriveList Listed(const char *letters)
{
    FakeDrives d = { letters, letters, "", "" };
    DriveFacts facts = { FakeIsCdRom, FakeDescribe, &d };
    CdDriveList list;
    FillCdDriveList(&list, Mask(letters), &facts);
    return list;
}

char Choose(const char *path, const CdDriveList &list, SetupRoots &roots)
{
    roots.asked.clear();
    return ChooseDiscDriveLetter(path, &list, RootHoldsSetup, &roots);
}

}

TEST(DiscDrive, OwnDriveHoldingSetupWinsOutsideTheInventory)
{
    CdDriveList list = Listed("DER");
    SetupRoots roots = { "EX", "" };
    /* A mounted image or a fourth CD-ROM drive: not listed, still chosen. */
    EXPECT_EQ(Choose("X:\\Launcher\\Launcher.exe", list, roots), 'X');
    EXPECT_EQ(roots.asked, "X");
    EXPECT_EQ(Choose("x:\\Launcher\\Launcher.exe", list, roots), 'X');
    CdDriveList none;
    EXPECT_EQ(Choose("X:\\Launcher\\Launcher.exe", none, roots), 'X');
    /* A listed own drive without Setup.exe gives way to one that has it. */
    EXPECT_EQ(Choose("R:\\Launcher\\Launcher.exe", list, roots), 'E');
    EXPECT_EQ(roots.asked, "RDE");
}

TEST(DiscDrive, SetupThenFirstThenNothing)
{
    CdDriveList list = Listed("DER");
    SetupRoots setupOnE = { "E", "" }, noSetup = { "", "" };
    EXPECT_EQ(Choose("C:\\Games\\Launcher.exe", list, setupOnE), 'E');
    EXPECT_EQ(Choose("C:\\Games\\Launcher.exe", list, noSetup), 'D');
    EXPECT_EQ(noSetup.asked, "CDER");
    /* No drive letter in the path: no own drive is asked about. */
    EXPECT_EQ(Choose("\\\\server\\share\\Launcher.exe", list, noSetup), 'D');
    EXPECT_EQ(noSetup.asked, "DER");
    EXPECT_EQ(Choose(nullptr, list, setupOnE), 'E');

    CdDriveList none;
    EXPECT_EQ(Choose("R:\\Launcher\\Launcher.exe", none, noSetup), 0);
    /* Only records in use count, even when a free one holds a letter. */
    CdDriveList one = Listed("E");
    one.drives[1].letter = 'R';
    SetupRoots setupOnR = { "R", "" };
    EXPECT_EQ(Choose("C:\\x.exe", one, setupOnR), 'E');
}

namespace {

void PutOffset(std::string &bytes, size_t field, unsigned long value)
{
    for (int i = 0; i < 4; i++)
        bytes[field + i] = (char)(value >> (8 * i));
}

/* A storage device descriptor as a driver returns it: the fixed part, then
 * the texts at their offsets. */
std::string Descriptor(const std::string &vendor, const std::string &product)
{
    std::string bytes(STORAGE_DESCRIPTOR_FIXED_SIZE, '\0');
    PutOffset(bytes, STORAGE_DESCRIPTOR_VENDOR_OFFSET, bytes.size());
    bytes += vendor + '\0';
    PutOffset(bytes, STORAGE_DESCRIPTOR_PRODUCT_OFFSET, bytes.size());
    bytes += product + '\0';
    PutOffset(bytes, 4, bytes.size());
    return bytes;
}

std::string DeviceName(const std::string &bytes, size_t got)
{
    char text[CD_DESCRIPTION_SIZE];
    memset(text, '#', sizeof text);
    StorageDeviceName((const unsigned char *)bytes.data(), got, text, sizeof text);
    return text;
}

}

TEST(StorageDescriptor, VendorAndProductTrimmedAndJoined)
{
    const std::string drive = Descriptor("HL-DT-ST", "DVDRAM GH24NSD1 ");
    EXPECT_EQ(DeviceName(drive, drive.size()), "HL-DT-ST DVDRAM GH24NSD1");
    const std::string productOnly = Descriptor("   ", "  Virtual DVD-ROM");
    EXPECT_EQ(DeviceName(productOnly, productOnly.size()), "Virtual DVD-ROM");
    /* What Wine gives for a folder mapped as a CD-ROM drive. */
    const std::string blank = Descriptor("", "");
    EXPECT_EQ(DeviceName(blank, blank.size()), "");
}

TEST(StorageDescriptor, PlantedOffsetsStayWithinTheBytes)
{
    std::string bytes = Descriptor("Vendor", "Product");
    /* The product's text cut short of its terminator ends at the bytes
     * returned. */
    EXPECT_EQ(DeviceName(bytes, bytes.size() - 2), "Vendor Produc");
    /* ...and at the size the descriptor claims, when that is less. */
    PutOffset(bytes, 4, bytes.size() - 3);
    EXPECT_EQ(DeviceName(bytes, bytes.size()), "Vendor Produ");
    bytes = Descriptor("Vendor", "Product");
    /* Offsets past the end, into the fixed part or huge are ignored. */
    PutOffset(bytes, STORAGE_DESCRIPTOR_PRODUCT_OFFSET, bytes.size());
    EXPECT_EQ(DeviceName(bytes, bytes.size()), "Vendor");
    PutOffset(bytes, STORAGE_DESCRIPTOR_VENDOR_OFFSET, 8);
    PutOffset(bytes, STORAGE_DESCRIPTOR_PRODUCT_OFFSET, 0xFFFFFFFFul);
    EXPECT_EQ(DeviceName(bytes, bytes.size()), "");
    /* Fewer bytes than the fixed part: nothing is read. */
    EXPECT_EQ(DeviceName(bytes, STORAGE_DESCRIPTOR_FIXED_SIZE - 1), "");
    /* Control characters read as blanks. */
    const std::string lines = Descriptor("A\r\nB", "C");
    EXPECT_EQ(DeviceName(lines, lines.size()), "A  B C");
}

TEST(RegistryWalk, CdRomClassInAnyCase)
{
    EXPECT_TRUE(IsCdRomClass("CDROM"));
    EXPECT_TRUE(IsCdRomClass("cdrom"));
    EXPECT_TRUE(IsCdRomClass("CdRom"));
    EXPECT_FALSE(IsCdRomClass("CDROMX"));
    EXPECT_FALSE(IsCdRomClass("CDRO"));
    EXPECT_FALSE(IsCdRomClass(""));
    EXPECT_FALSE(IsCdRomClass("DiskDrive"));
}

namespace {

/* A scripted registry: each key has its subkeys and may be a link to
 * another key. Opening a link either reports it, as the launcher's own
 * opening does, or follows it, as a plain RegOpenKeyExA would. */
struct ScriptedKey {
    const char *name;
    std::vector<int> subkeys;
    int linkTo;   /* -1: a plain key */
};

struct ScriptedTree {
    std::vector<ScriptedKey> keys;
    bool reportLinks;
    int open = 0;
    int links = 0;
    std::vector<int> handles;   /* what each open WalkKey stands for */
};

int KeyIndex(WalkKey key) { return *static_cast<int *>(key); }

KeyOpened OpenScripted(WalkKey parent, const char *name, WalkKey *key, long *error, void *context)
{
    ScriptedTree *tree = static_cast<ScriptedTree *>(context);
    int found = -1;
    if (!parent)
        found = 0;
    else
        for (int child : tree->keys[(size_t)KeyIndex(parent)].subkeys)
            if (strcmp(tree->keys[(size_t)child].name, name) == 0)
                found = child;
    *error = found < 0 ? 2 : 0;
    if (found < 0)
        return WALK_NOT_OPENED;
    if (tree->keys[(size_t)found].linkTo >= 0) {
        if (tree->reportLinks)
            return WALK_LINK;
        found = tree->keys[(size_t)found].linkTo;
    }
    *key = new int(found);
    tree->open++;
    return WALK_OPENED;
}

long CountScripted(WalkKey key, unsigned long *count, void *context)
{
    *count = (unsigned long)static_cast<ScriptedTree *>(context)->keys[(size_t)KeyIndex(key)].subkeys.size();
    return 0;
}

long NameScripted(WalkKey key, unsigned long index, char *name, size_t size, void *context)
{
    const ScriptedTree *tree = static_cast<ScriptedTree *>(context);
    snprintf(name, size, "%s", tree->keys[(size_t)tree->keys[(size_t)KeyIndex(key)].subkeys[index]].name);
    return 0;
}

void CloseScripted(WalkKey key, void *context)
{
    static_cast<ScriptedTree *>(context)->open--;
    delete static_cast<int *>(key);
}

void SkippedScripted(WalkSkip why, const char *, long, void *context)
{
    if (why == WALK_SKIP_LINK)
        static_cast<ScriptedTree *>(context)->links++;
}

KeyVerdict FindNothing(WalkKey, void *) { return KEY_DESCEND; }

}

TEST(RegistryWalk, LinksBackToAnAncestorAreNotFollowedAndTheWalkIsCapped)
{
    /* Enum\A\B\Loop links back to Enum, Enum\A\C\Up to A: followed, the
     * tree never ends (about 2^125 visits within the path limits). */
    ScriptedTree tree;
    tree.keys = { { "Enum", { 1 }, -1 }, { "A", { 2, 3 }, -1 }, { "B", { 4, 5 }, -1 }, { "C", { 6, 7 }, -1 },
                  { "Loop", {}, 0 },     { "x", {}, -1 },       { "Up", {}, 1 },          { "y", {}, -1 } };
    const KeyTree access = { OpenScripted, CountScripted, NameScripted, CloseScripted, SkippedScripted, &tree };

    unsigned long visited = 0;
    tree.reportLinks = true;
    EXPECT_EQ(WalkKeyTree(&access, "Enum", FindNothing, NULL, WALK_KEYS_MAX, &visited), WALK_NOT_FOUND);
    EXPECT_EQ(visited, 6u);
    EXPECT_EQ(tree.links, 2);
    EXPECT_EQ(tree.open, 0);

    /* Where links cannot be told apart, the cap ends the walk. */
    tree.reportLinks = false;
    EXPECT_EQ(WalkKeyTree(&access, "Enum", FindNothing, NULL, WALK_KEYS_MAX, &visited), WALK_CAPPED);
    EXPECT_EQ(visited, (unsigned long)WALK_KEYS_MAX);
    EXPECT_EQ(tree.open, 0);
}
