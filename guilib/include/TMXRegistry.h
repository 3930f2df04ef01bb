// TMXRegistry: typed settings in one registry key, read with a default so
// that loading settings never needs error handling.
//
// An object names a root key (HKEY_CURRENT_USER unless set) and a path under
// it, the current key; with an empty path values live in the root key itself.
// No handle is kept: every call opens what it needs and closes it again, so
// objects are plain values that copy freely.
//
// Encodings (little-endian, REG_BINARY unless said otherwise):
//   Int, Bool, Dword, Color   4 bytes (Bool stores the caller's value as is)
//   Float                     8 bytes, an IEEE double
//   DateTime                  12 bytes: the 8-byte OLE date, then the 4-byte status
//   String                    REG_SZ, UTF-16 with its terminating NUL
//   Font                      92 bytes, the font's LOGFONTW
//   Point, Size               8 bytes: x, y / cx, cy as 32-bit integers
//   Rect                      16 bytes: left, top, right, bottom
//
// Reads of the fixed-size kinds succeed only for data of exactly the kind's
// size, whatever its registry type (a 4-byte REG_DWORD reads as an int);
// anything else gives the default and leaves the caller's objects as they
// were. A date-time reads only with status valid (and a finite date in the
// valid range), invalid or null. Strings read REG_SZ and REG_EXPAND_SZ (not
// expanded), with or without their NUL. Writes never create keys.
#pragma once

#include "TMXUIDefs.h"

class TMXUI_API TMXRegistry {
public:
    TMXRegistry(); // HKEY_CURRENT_USER, no key selected
    explicit TMXRegistry(HKEY root);
    TMXRegistry(const TMXRegistry& other);
    TMXRegistry& operator=(const TMXRegistry& other);
    ~TMXRegistry();

    // Key selection. SetKey with an empty path selects the root key and
    // touches nothing; otherwise it opens the key with full access, or with
    // `create` creates it and every missing key on the way. 0 on failure,
    // with the former path kept.
    int SetKey(CString path, int create);
    int CreateKey(CString path);
    int ClearKey(); // back to HKEY_CURRENT_USER and no path; the registry is untouched
    // Only HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS.
    int SetRootKey(HKEY root);
    HKEY GetRootKey();
    CString GetCurrentPath();
    int PathIsValid(); // 1 when a key is selected

    // Keys and values. Paths are relative to `base`, or to the root key when
    // it is null, never to the current path.
    int KeyExists(CString path, HKEY base = nullptr);
    // Deletes a key without sub-keys: 1 when deleted or not there, 0 when
    // the system refuses and for an empty path (the root key is never deleted).
    int DeleteKey(CString path);
    int GetSubKeyCount(); // -1 on failure
    int GetValueCount();  // -1 on failure
    int ValueExists(CString name);
    unsigned long GetDataType(CString name); // REG_* code, 0 on failure
    int GetDataSize(CString name);           // bytes, -1 on failure
    int DeleteValue(CString name);
    // Gives the value a new name, keeping its type and data. Nothing happens
    // when the old value is missing or the new name is taken.
    void RenameValue(CString oldName, CString newName);

    // Typed reads: the default on any failure.
    int ReadInt(CString name, int defaultValue);
    int ReadBool(CString name, int defaultValue);
    unsigned long ReadDword(CString name, unsigned long defaultValue);
    unsigned long ReadColor(CString name, unsigned long defaultValue);
    double ReadFloat(CString name, double defaultValue);
    COleDateTime ReadDateTime(CString name, COleDateTime defaultValue);
    CString ReadString(CString name, CString defaultValue);
    // 1 with the object set; 0 with it untouched (also for a null pointer).
    // ReadFont detaches the font's former handle without deleting it: that
    // handle stays the caller's.
    int ReadFont(CString name, CFont* font);
    int ReadPoint(CString name, CPoint* point);
    int ReadSize(CString name, CSize* size);
    int ReadRect(CString name, CRect* rect);

    // Typed writes into the current key: 1 when stored.
    int WriteInt(CString name, int value);
    int WriteBool(CString name, int value);
    int WriteDword(CString name, unsigned long value);
    int WriteColor(CString name, unsigned long value);
    int WriteFloat(CString name, double value);
    int WriteDateTime(CString name, COleDateTime value);
    int WriteString(CString name, CString value);
    int WriteFont(CString name, CFont* font); // 0 when the font cannot be read
    int WritePoint(CString name, CPoint* point);
    int WriteSize(CString name, CSize* size);
    int WriteRect(CString name, CRect* rect);

private:
    bool ReadFixed(const CString& name, void* data, unsigned long size);
    int WriteBinary(const CString& name, const void* data, unsigned long size);

    HKEY m_hRootKey;
    CString m_strCurrentPath;
};
