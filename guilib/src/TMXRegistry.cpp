// The registry settings store: every call opens its key, makes its one or two
// registry calls and closes the key again.
#include "TMXRegistry.h"

#include <cstring>
#include <new>

namespace {

// An open key, closed at the end of the scope.
class Key {
public:
    Key(HKEY root, const CString& path, REGSAM access) {
        if (RegOpenKeyExW(root, path, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    explicit operator bool() const { return key_ != nullptr; }
    operator HKEY() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool IsPredefinedRoot(HKEY root) {
    return root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER ||
           root == HKEY_LOCAL_MACHINE || root == HKEY_USERS;
}

// The stored form of a date-time: the OLE date, then its status.
constexpr unsigned long kDateTimeSize = 12;

} // namespace

TMXRegistry::TMXRegistry() : m_hRootKey(HKEY_CURRENT_USER) {}

TMXRegistry::TMXRegistry(HKEY root) : m_hRootKey(root) {}

TMXRegistry::TMXRegistry(const TMXRegistry& other)
    : m_hRootKey(other.m_hRootKey), m_strCurrentPath(other.m_strCurrentPath) {}

TMXRegistry& TMXRegistry::operator=(const TMXRegistry& other) {
    m_hRootKey = other.m_hRootKey;
    m_strCurrentPath = other.m_strCurrentPath;
    return *this;
}

TMXRegistry::~TMXRegistry() {
    ClearKey();
}

// ---- Key selection

int TMXRegistry::SetKey(CString path, int create) {
    if (path.IsEmpty()) {
        m_strCurrentPath.Empty();
        return 1;
    }
    HKEY key = nullptr;
    LONG status = create ? RegCreateKeyExW(m_hRootKey, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr)
                         : RegOpenKeyExW(m_hRootKey, path, 0, KEY_ALL_ACCESS, &key);
    if (status != ERROR_SUCCESS) return 0;
    RegCloseKey(key);
    m_strCurrentPath = path;
    return 1;
}

int TMXRegistry::CreateKey(CString path) {
    return SetKey(path, 1);
}

int TMXRegistry::ClearKey() {
    m_strCurrentPath.Empty();
    m_hRootKey = HKEY_CURRENT_USER;
    return 1;
}

int TMXRegistry::SetRootKey(HKEY root) {
    if (!IsPredefinedRoot(root)) return 0;
    m_hRootKey = root;
    return 1;
}

HKEY TMXRegistry::GetRootKey() {
    return m_hRootKey;
}

CString TMXRegistry::GetCurrentPath() {
    return m_strCurrentPath;
}

int TMXRegistry::PathIsValid() {
    return m_strCurrentPath.IsEmpty() ? 0 : 1;
}

// ---- Keys and values as a whole

int TMXRegistry::KeyExists(CString path, HKEY base) {
    return Key(base ? base : m_hRootKey, path, KEY_ALL_ACCESS) ? 1 : 0;
}

int TMXRegistry::DeleteKey(CString path) {
    // An empty path would name the root key itself.
    if (path.IsEmpty()) return 0;
    LONG status = RegDeleteKeyW(m_hRootKey, path);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 1 : 0;
}

int TMXRegistry::GetSubKeyCount() {
    Key key(m_hRootKey, m_strCurrentPath, KEY_ALL_ACCESS);
    DWORD count = 0;
    if (!key || RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(count);
}

int TMXRegistry::GetValueCount() {
    Key key(m_hRootKey, m_strCurrentPath, KEY_ALL_ACCESS);
    DWORD count = 0;
    if (!key || RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                 nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(count);
}

int TMXRegistry::ValueExists(CString name) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_ALL_ACCESS);
    return key && RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS
               ? 1
               : 0;
}

unsigned long TMXRegistry::GetDataType(CString name) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_QUERY_VALUE);
    DWORD type = 0;
    if (!key || RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return type;
}

int TMXRegistry::GetDataSize(CString name) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_QUERY_VALUE);
    DWORD size = 0;
    if (!key || RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

int TMXRegistry::DeleteValue(CString name) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_SET_VALUE);
    return key && RegDeleteValueW(key, name) == ERROR_SUCCESS ? 1 : 0;
}

void TMXRegistry::RenameValue(CString oldName, CString newName) {
    if (oldName == newName) return;
    Key key(m_hRootKey, m_strCurrentPath, KEY_QUERY_VALUE | KEY_SET_VALUE);
    DWORD type = 0, size = 0;
    if (!key || RegQueryValueExW(key, oldName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        RegQueryValueExW(key, newName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return;
    BYTE* data = new (std::nothrow) BYTE[size ? size : 1];
    if (!data) return;
    if (RegQueryValueExW(key, oldName, nullptr, &type, data, &size) == ERROR_SUCCESS &&
        RegSetValueExW(key, newName, 0, type, data, size) == ERROR_SUCCESS)
        RegDeleteValueW(key, oldName);
    delete[] data;
}

// ---- Reading

bool TMXRegistry::ReadFixed(const CString& name, void* data, unsigned long size) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_READ);
    if (!key) return false;
    // Longer data fails the query; shorter data is not a value of this kind.
    BYTE buffer[sizeof(LOGFONTW)];
    DWORD got = size;
    if (size > sizeof buffer ||
        RegQueryValueExW(key, name, nullptr, nullptr, buffer, &got) != ERROR_SUCCESS ||
        got != size)
        return false;
    std::memcpy(data, buffer, size);
    return true;
}

int TMXRegistry::ReadInt(CString name, int defaultValue) {
    int value;
    return ReadFixed(name, &value, sizeof value) ? value : defaultValue;
}

int TMXRegistry::ReadBool(CString name, int defaultValue) {
    return ReadInt(name, defaultValue);
}

unsigned long TMXRegistry::ReadDword(CString name, unsigned long defaultValue) {
    unsigned long value;
    static_assert(sizeof value == 4, "a DWORD is 4 bytes");
    return ReadFixed(name, &value, sizeof value) ? value : defaultValue;
}

unsigned long TMXRegistry::ReadColor(CString name, unsigned long defaultValue) {
    return ReadDword(name, defaultValue);
}

double TMXRegistry::ReadFloat(CString name, double defaultValue) {
    double value;
    return ReadFixed(name, &value, sizeof value) ? value : defaultValue;
}

COleDateTime TMXRegistry::ReadDateTime(CString name, COleDateTime defaultValue) {
    BYTE data[kDateTimeSize];
    if (!ReadFixed(name, data, sizeof data)) return defaultValue;
    double date;
    int status;
    std::memcpy(&date, data, 8);
    std::memcpy(&status, data + 8, 4);
    if (status == COleDateTime::valid) {
        if (!COleDateTime::IsValidDate(date)) return defaultValue;
    } else if (status != COleDateTime::invalid && status != COleDateTime::null) {
        return defaultValue;
    }
    COleDateTime value;
    value.m_dt = date;
    value.m_status = static_cast<COleDateTime::DateTimeStatus>(status);
    return value;
}

CString TMXRegistry::ReadString(CString name, CString defaultValue) {
    unsigned long type = GetDataType(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return defaultValue;
    Key key(m_hRootKey, m_strCurrentPath, KEY_READ);
    if (!key) return defaultValue;
    // The value may change between the size query and the read: try again
    // while it grows, and take it only while it is still a string.
    for (int attempt = 0; attempt < 4; attempt++) {
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return defaultValue;
        // Room for the data rounded up to whole characters, plus our own NUL.
        const DWORD chars = size / sizeof(wchar_t) + 2;
        wchar_t* text = new (std::nothrow) wchar_t[chars];
        if (!text) return defaultValue;
        DWORD got = (chars - 1) * sizeof(wchar_t);
        LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text),
                                       &got);
        if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            // Another program may have stored no NUL, or an odd byte count.
            const DWORD length = got / sizeof(wchar_t);
            text[length] = L'\0';
            CString result(text);
            delete[] text;
            return result;
        }
        delete[] text;
        if (status != ERROR_MORE_DATA) return defaultValue;
    }
    return defaultValue;
}

int TMXRegistry::ReadFont(CString name, CFont* font) {
    if (!font) return 0;
    LOGFONTW lf;
    static_assert(sizeof lf == 92, "LOGFONTW is stored as 92 bytes");
    if (!ReadFixed(name, &lf, sizeof lf)) return 0;
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    HFONT created = CreateFontIndirectW(&lf);
    if (!created) return 0;
    font->Detach();
    font->Attach(created);
    return 1;
}

int TMXRegistry::ReadPoint(CString name, CPoint* point) {
    POINT value;
    if (!point || !ReadFixed(name, &value, sizeof value)) return 0;
    point->x = value.x;
    point->y = value.y;
    return 1;
}

int TMXRegistry::ReadSize(CString name, CSize* size) {
    SIZE value;
    if (!size || !ReadFixed(name, &value, sizeof value)) return 0;
    size->cx = value.cx;
    size->cy = value.cy;
    return 1;
}

int TMXRegistry::ReadRect(CString name, CRect* rect) {
    RECT value;
    if (!rect || !ReadFixed(name, &value, sizeof value)) return 0;
    rect->left = value.left;
    rect->top = value.top;
    rect->right = value.right;
    rect->bottom = value.bottom;
    return 1;
}

// ---- Writing

int TMXRegistry::WriteBinary(const CString& name, const void* data, unsigned long size) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_WRITE);
    return key && RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) ==
                      ERROR_SUCCESS
               ? 1
               : 0;
}

int TMXRegistry::WriteInt(CString name, int value) {
    return WriteBinary(name, &value, sizeof value);
}

int TMXRegistry::WriteBool(CString name, int value) {
    return WriteInt(name, value);
}

int TMXRegistry::WriteDword(CString name, unsigned long value) {
    return WriteBinary(name, &value, sizeof value);
}

int TMXRegistry::WriteColor(CString name, unsigned long value) {
    return WriteDword(name, value);
}

int TMXRegistry::WriteFloat(CString name, double value) {
    return WriteBinary(name, &value, sizeof value);
}

int TMXRegistry::WriteDateTime(CString name, COleDateTime value) {
    BYTE data[kDateTimeSize];
    const double date = value.m_dt;
    const int status = value.m_status;
    std::memcpy(data, &date, 8);
    std::memcpy(data + 8, &status, 4);
    return WriteBinary(name, data, sizeof data);
}

int TMXRegistry::WriteString(CString name, CString value) {
    Key key(m_hRootKey, m_strCurrentPath, KEY_WRITE);
    const DWORD size = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    return key && RegSetValueExW(key, name, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(value)),
                                 size) == ERROR_SUCCESS
               ? 1
               : 0;
}

int TMXRegistry::WriteFont(CString name, CFont* font) {
    LOGFONTW lf;
    if (!font || font->GetLogFont(&lf) != sizeof lf) return 0;
    return WriteBinary(name, &lf, sizeof lf);
}

int TMXRegistry::WritePoint(CString name, CPoint* point) {
    if (!point) return 0;
    const POINT value{point->x, point->y};
    return WriteBinary(name, &value, sizeof value);
}

int TMXRegistry::WriteSize(CString name, CSize* size) {
    if (!size) return 0;
    const SIZE value{size->cx, size->cy};
    return WriteBinary(name, &value, sizeof value);
}

int TMXRegistry::WriteRect(CString name, CRect* rect) {
    if (!rect) return 0;
    const RECT value{rect->left, rect->top, rect->right, rect->bottom};
    return WriteBinary(name, &value, sizeof value);
}
