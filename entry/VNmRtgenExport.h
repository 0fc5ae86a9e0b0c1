/* Calling convention, symbol export and string types of the plug-in's C boundary.
 *
 * Two string families cross it: the host family's COM wide strings (BSTR: UTF-16 preceded by a 4-byte byte
 * length and followed by a zero, allocated with SysAllocString) and the standard family's zero-terminated
 * UTF-16 texts. On Windows both are the system's (wchar_t, OLE automation allocator, __stdcall); elsewhere
 * UTF-16 is char16_t and the library brings its own SysAllocString, SysFreeString and SysStringLen. */
#ifndef VNMRTGEN_EXPORT_H
#define VNMRTGEN_EXPORT_H

#include <stdint.h>

#if defined(_WIN32)
#include <oleauto.h>
#define VN_STDCALL __stdcall
#if defined(VNMRTGEN_BUILDING)
#define VN_EXPORT __declspec(dllexport)
#else
#define VN_EXPORT __declspec(dllimport)
#endif
typedef wchar_t VnWideChar;
typedef BSTR VnBStr;
#else
#define VN_STDCALL
#define VN_EXPORT __attribute__((visibility("default")))
#ifdef __cplusplus
typedef char16_t VnWideChar;
#else
#include <uchar.h>
typedef char16_t VnWideChar;
#endif
typedef VnWideChar* VnBStr;
#endif

#endif
