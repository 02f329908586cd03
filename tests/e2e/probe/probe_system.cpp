// Probe commands about the rest of the system: the registry, files the test doubles
// write, signatures, the monitors, and waiting.
#include "probe.h"  // first: it brings windows.h, which the signature headers need

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstring>
#include <fstream>

namespace probe {
namespace {

// "HKCU\Control Panel\Desktop" -> the root key and the path below it.
HKEY SplitKey(const std::string& path, std::string& below) {
    const std::size_t slash = path.find('\\');
    const std::string root = path.substr(0, slash);
    below = slash == std::string::npos ? "" : path.substr(slash + 1);
    if (root == "HKCU") return HKEY_CURRENT_USER;
    if (root == "HKLM") return HKEY_LOCAL_MACHINE;
    throw Failure("registry paths start with HKCU or HKLM");
}

HKEY CreateKey(const std::string& path) {
    std::string below;
    HKEY root = SplitKey(path, below), key = nullptr;
    const LONG status = RegCreateKeyExA(root, below.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    Require(status == ERROR_SUCCESS, Format("cannot open '%s' (error %ld)", path.c_str(), status));
    return key;
}

void SetValue(const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = CreateKey(path);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    Require(status == ERROR_SUCCESS, Format("cannot write '%s' (error %ld)", name.c_str(), status));
}

// reg-set-dword KEY NAME VALUE
void RegSetDword(const Args& args) {
    RequireArgs(args, 3, "reg-set-dword KEY NAME VALUE");
    const DWORD value = static_cast<DWORD>(ToNumber(args[2]));
    SetValue(args[0], args[1], REG_DWORD, &value, sizeof value);
}

// reg-set-sz KEY NAME TEXT
void RegSetSz(const Args& args) {
    RequireArgs(args, 3, "reg-set-sz KEY NAME TEXT");
    SetValue(args[0], args[1], REG_SZ, args[2].c_str(), static_cast<DWORD>(args[2].size() + 1));
}

// reg-set-binary KEY NAME HEXBYTES (e.g. 0102030405)
void RegSetBinary(const Args& args) {
    RequireArgs(args, 3, "reg-set-binary KEY NAME HEXBYTES");
    std::string bytes;
    for (std::size_t i = 0; i + 1 < args[2].size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(args[2].substr(i, 2), nullptr, 16)));
    }
    SetValue(args[0], args[1], REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

// reg-delete KEY NAME: removes the value if it is there.
void RegDelete(const Args& args) {
    RequireArgs(args, 2, "reg-delete KEY NAME");
    HKEY key = CreateKey(args[0]);
    RegDeleteValueA(key, args[1].c_str());
    RegCloseKey(key);
}

// Reads a value; false when it is missing.
bool ReadValue(const std::string& path, const std::string& name, DWORD& type, std::string& data) {
    std::string below;
    HKEY root = SplitKey(path, below), key = nullptr;
    if (RegOpenKeyExA(root, below.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    data.assign(size, '\0');
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool KeyExists(const std::string& path) {
    std::string below;
    HKEY root = SplitKey(path, below), key = nullptr;
    const bool present = RegOpenKeyExA(root, below.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (present) RegCloseKey(key);
    return present;
}

// expect-reg-key KEY present|missing [TIMEOUT_MS]: whether the registry key exists (with a
// timeout, waits for it: an uninstaller goes on after the process that started it ended).
void ExpectRegKey(const Args& args) {
    RequireArgs(args, 2, "expect-reg-key KEY present|missing [TIMEOUT_MS]");
    const bool want = args[1] == "present";
    bool present = false;
    WaitUntil([&] { return (present = KeyExists(args[0])) == want; }, args.size() > 2 ? TimeoutArg(args, 2) : 0);
    Require(present == want, present ? "the key exists" : "the key is missing");
}

// expect-reg-sz KEY NAME TEXT | expect-reg-sz KEY NAME missing: a string value.
void ExpectRegSz(const Args& args) {
    RequireArgs(args, 3, "expect-reg-sz KEY NAME (TEXT | missing)");
    DWORD type = 0;
    std::string data;
    const bool present = ReadValue(args[0], args[1], type, data);
    if (args[2] == "missing") {
        Require(!present, "the value exists: '" + data.substr(0, data.find('\0')) + "'");
        return;
    }
    Require(present, "the value is missing");
    Require(type == REG_SZ || type == REG_EXPAND_SZ, Format("type %lu", type));
    const std::string text = data.substr(0, data.find('\0'));
    Require(text == args[2], "the value is '" + text + "'");
}

// expect-reg-subkeys KEY NAME TEXT COUNT: COUNT subkeys of KEY have the string value NAME
// equal to TEXT (one entry under installed programs, however often it was installed).
void ExpectRegSubkeys(const Args& args) {
    RequireArgs(args, 4, "expect-reg-subkeys KEY NAME TEXT COUNT");
    std::string below;
    HKEY root = SplitKey(args[0], below), key = nullptr;
    Require(RegOpenKeyExA(root, below.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS, "the key is missing");
    long count = 0;
    char name[256];
    for (DWORD i = 0, size = sizeof name;
         RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        DWORD type = 0;
        std::string data;
        if (ReadValue(args[0] + "\\" + name, args[1], type, data) && data.substr(0, data.find('\0')) == args[2]) {
            ++count;
        }
    }
    RegCloseKey(key);
    Require(count == ToNumber(args[3]), Format("%ld such subkeys", count));
}

// run-reg PROC KEY NAME [ARGS...]: runs the command line stored in the string value NAME
// of KEY (an uninstall entry's commands), with ARGS after it.
void RunReg(const Args& args) {
    RequireArgs(args, 3, "run-reg PROC KEY NAME [ARGS...]");
    DWORD type = 0;
    std::string line;
    Require(ReadValue(args[1], args[2], type, line), "the value is missing");
    line = line.substr(0, line.find('\0'));
    for (std::size_t i = 3; i < args.size(); ++i) line += " " + args[i];
    Start(args[0], "", line);
}

// expect-file PATH present|missing [TIMEOUT_MS]: whether a file exists (waits, as above).
void ExpectFile(const Args& args) {
    RequireArgs(args, 2, "expect-file PATH present|missing [TIMEOUT_MS]");
    const bool want = args[1] == "present";
    bool present = false;
    WaitUntil([&] { return (present = GetFileAttributesA(args[0].c_str()) != INVALID_FILE_ATTRIBUTES) == want; },
              args.size() > 2 ? TimeoutArg(args, 2) : 0);
    Require(present == want, present ? "the file exists" : "the file is missing");
}

// expect-reg-dword KEY NAME VALUE | expect-reg-dword KEY NAME missing
void ExpectRegDword(const Args& args) {
    RequireArgs(args, 3, "expect-reg-dword KEY NAME (VALUE | missing)");
    DWORD type = 0;
    std::string data;
    const bool present = ReadValue(args[0], args[1], type, data);
    if (args[2] == "missing") {
        Require(!present, "the value exists");
        return;
    }
    Require(present, "the value is missing");
    Require(type == REG_DWORD && data.size() == 4, Format("type %lu, %zu bytes", type, data.size()));
    DWORD value = 0;
    std::memcpy(&value, data.data(), 4);
    Require(value == static_cast<DWORD>(ToNumber(args[2])), Format("the value is %lu", value));
}

// write-file PATH TEXT: replaces the file with TEXT (how scripts steer the test doubles).
void WriteFile(const Args& args) {
    RequireArgs(args, 2, "write-file PATH TEXT");
    std::ofstream file(args[0], std::ios::trunc);
    file << args[1] << '\n';
    Require(static_cast<bool>(file), "cannot write " + args[0]);
}

// copy-file FROM TO: copies a file (a program to run from somewhere else), replacing TO.
void CopyFileCommand(const Args& args) {
    RequireArgs(args, 2, "copy-file FROM TO");
    Require(CopyFileA(args[0].c_str(), args[1].c_str(), FALSE),
            Format("CopyFile failed with error %lu", GetLastError()));
}

// The file's signature as the platform checks it (WinVerifyTrust, no revocation lookup):
// 0 when it holds, and then the signer's name; TRUST_E_NOSIGNATURE when there is none.
LONG CheckSignature(const std::string& path, std::string& signer) {
    const std::wstring widePath(path.begin(), path.end());
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = widePath.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    const CRYPT_PROVIDER_SGNR* first =
        WTHelperGetProvSignerFromChain(WTHelperProvDataFromStateData(data.hWVTStateData), 0, FALSE, 0);
    if (status == 0 && first && first->csCertChain > 0) {
        char name[256] = {};
        CertGetNameStringA(first->pasCertChain[0].pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, sizeof name);
        signer = name;
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return status;
}

// expect-signed FILE SIGNER|none: the file's signature holds and names SIGNER, or it has none.
void ExpectSigned(const Args& args) {
    RequireArgs(args, 2, "expect-signed FILE (SIGNER | none)");
    std::string signer;
    const LONG status = CheckSignature(args[0], signer);
    if (args[1] == "none") {
        Require(status == TRUST_E_NOSIGNATURE, Format("not unsigned: WinVerifyTrust gives 0x%08lx", status));
        return;
    }
    Require(status == 0, Format("the signature does not hold: WinVerifyTrust gives 0x%08lx", status));
    Require(signer == args[1], "signed by '" + signer + "'");
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// expect-lines FILE COUNT [TIMEOUT_MS]: waits until FILE has COUNT lines, then fails if it
// has more. A missing file has none.
void ExpectLines(const Args& args) {
    RequireArgs(args, 2, "expect-lines FILE COUNT [TIMEOUT_MS]");
    const std::size_t count = static_cast<std::size_t>(ToNumber(args[1]));
    std::vector<std::string> lines;
    WaitUntil(
        [&] {
            lines = ReadLines(args[0]);
            return lines.size() >= count;
        },
        count ? TimeoutArg(args, 2) : 0);
    std::string all;
    for (const std::string& line : lines) all += "\n        | " + line;
    Require(lines.size() == count, Format("%zu lines:", lines.size()) + all);
}

// expect-line FILE INDEX TEXT: line INDEX (from 1) of FILE is exactly TEXT.
void ExpectLine(const Args& args) {
    RequireArgs(args, 3, "expect-line FILE INDEX TEXT");
    const std::vector<std::string> lines = ReadLines(args[0]);
    const std::size_t index = static_cast<std::size_t>(ToNumber(args[1]));
    Require(index >= 1 && index <= lines.size(), Format("the file has %zu lines", lines.size()));
    Require(lines[index - 1] == args[2], "the line is '" + lines[index - 1] + "'");
}

// expect-monitors N [MS]: waits until the platform lists N monitors (after an X server
// change, Wine takes a moment to take the new layout in).
void ExpectMonitors(const Args& args) {
    RequireArgs(args, 1, "expect-monitors N [MS]");
    int count = 0;
    const bool seen = WaitUntil(
        [&] {
            count = 0;
            EnumDisplayMonitors(
                nullptr, nullptr,
                [](HMONITOR, HDC, LPRECT, LPARAM n) {
                    ++*reinterpret_cast<int*>(n);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&count));
            return count == ToNumber(args[0]);
        },
        TimeoutArg(args, 1));
    Require(seen, Format("%d monitors", count));
}

// sleep MS: lets time pass (pumping); never a pass criterion on its own.
void Sleep(const Args& args) {
    RequireArgs(args, 1, "sleep MS");
    Pump(static_cast<DWORD>(ToNumber(args[0])));
}

}  // namespace

void AddSystemCommands(CommandTable& table) {
    table["reg-set-dword"] = RegSetDword;
    table["reg-set-sz"] = RegSetSz;
    table["reg-set-binary"] = RegSetBinary;
    table["reg-delete"] = RegDelete;
    table["expect-reg-dword"] = ExpectRegDword;
    table["expect-reg-key"] = ExpectRegKey;
    table["expect-reg-sz"] = ExpectRegSz;
    table["expect-reg-subkeys"] = ExpectRegSubkeys;
    table["expect-file"] = ExpectFile;
    table["run-reg"] = RunReg;
    table["write-file"] = WriteFile;
    table["copy-file"] = CopyFileCommand;
    table["expect-signed"] = ExpectSigned;
    table["expect-lines"] = ExpectLines;
    table["expect-line"] = ExpectLine;
    table["expect-monitors"] = ExpectMonitors;
    table["sleep"] = Sleep;
}

}  // namespace probe
