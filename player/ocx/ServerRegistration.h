#pragma once
// What registering the server writes under HKEY_CLASSES_ROOT and takes away again: the class
// with its in-process server, ProgIDs, control marks and misc status, and the embedded type
// library. DllRegisterServer / DllUnregisterServer call these with the server's own module.
#include <windows.h>
#include <oleidl.h>
#include <olectl.h>

#include <string>

namespace vm::flash {

inline constexpr wchar_t kFlashClassName[] = L"Shockwave Flash Object";
inline constexpr wchar_t kFlashProgId[] = L"ShockwaveFlash.ShockwaveFlash.1";
inline constexpr wchar_t kFlashVersionIndependentProgId[] = L"ShockwaveFlash.ShockwaveFlash";
inline constexpr wchar_t kFlashTypeLibraryVersion[] = L"1.0";

// OLEMISC bits of a windowless control that draws itself as soon as it is visible: in-place
// active when visible and inside-out (no separate open window), the site given before the
// properties load so ambient properties and the windowless site are known while loading,
// not linkable inside, recomposed on resize. The object's GetMiscStatus answers the same.
inline constexpr DWORD kFlashMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                          OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

// Writes the keys and registers the type library of the server at `modulePath`. On failure
// whatever was written is removed again and the error returned (SELFREG_E_CLASS for the keys,
// SELFREG_E_TYPELIB for the library).
HRESULT RegisterFlashServer(const std::wstring& modulePath);

// Removes what RegisterFlashServer wrote; S_OK also when nothing is registered. A class whose
// InprocServer32 names another file belongs to another installation and is left alone.
HRESULT UnregisterFlashServer(const std::wstring& modulePath);

} // namespace vm::flash
