/* The CD-ROM drive records and the rules of the drive inventory that need
 * no Win32: which drives it lists, how a drive's own driver names it, which
 * device key of the hardware tree describes a CD-ROM drive, and which drive
 * stands for the game disc. */
#ifndef KVL_DRIVELIST_H
#define KVL_DRIVELIST_H

#include <stddef.h>

#define CD_DRIVE_MAX 3
#define CD_DESCRIPTION_SIZE 260

struct CdDrive {
    char letter = '?';                           /* "A" to "Z"; "?" while free */
    char description[CD_DESCRIPTION_SIZE] = {};  /* "DeviceDesc", or the label */
};

/* Up to three drives, each with its letter and its description. */
struct CdDriveList {
    int count = 0;                 /* records 0 .. count - 1 are in use */
    CdDrive drives[CD_DRIVE_MAX];
};

/* Where the drive facts come from when the inventory is filled. */
struct DriveFacts {
    /* True when the drive of that letter is a CD-ROM drive. */
    int (*isCdRom)(char letter, void *context);
    /* Describes the drive into description (CD_DESCRIPTION_SIZE bytes);
     * false when the drive is not to be listed. */
    int (*describe)(char letter, char *description, void *context);
    void *context;
};

/* Fills list from a drive mask (bit 0 for A up to bit 25 for Z): the
 * CD-ROM drives that describe succeeds for, in letter order, up to
 * CD_DRIVE_MAX; later letters are not examined. A drive that is not
 * described leaves its record free for the next one. Returns the count. */
int FillCdDriveList(CdDriveList *list, unsigned long mask, const DriveFacts *facts);

/* The drive letter that stands for the game disc: the launcher's own drive
 * (programPath begins with its letter and ":") when its root holds
 * Setup.exe, listed in the inventory or not; else the first inventory drive
 * whose root holds Setup.exe; else the first inventory drive; else 0.
 * hasSetup answers for one drive letter and is asked only as far as needed. */
char ChooseDiscDriveLetter(const char *programPath, const CdDriveList *list,
                           int (*hasSetup)(char letter, void *context), void *context);

/* True when a device key's "Class" names a CD-ROM drive, in any case. */
int IsCdRomClass(const char *className);

/* The first bytes of a storage device descriptor: version, size, four
 * flag bytes, then the offsets of the vendor and product texts. Its
 * fixed part ends with the raw properties, at byte 36. */
#define STORAGE_DESCRIPTOR_VENDOR_OFFSET   12
#define STORAGE_DESCRIPTOR_PRODUCT_OFFSET  16
#define STORAGE_DESCRIPTOR_FIXED_SIZE      36

/* "Vendor Product" from the got bytes of a storage device descriptor
 * returned by the driver, each part trimmed of blanks. An offset is
 * trusted only when it points past the fixed part and within both the
 * bytes returned and the size the descriptor claims; a text ends at its
 * terminator or at that bound. Returns 0 (text empty) when neither part
 * gives anything. */
int StorageDeviceName(const unsigned char *descriptor, size_t got, char *text, size_t size);

#endif
