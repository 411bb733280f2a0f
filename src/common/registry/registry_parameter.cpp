#include "common/registry/registry_parameter.h"

DWORD GetRegParameter(HKEY, const char*, const char*, DWORD, void*, DWORD, DWORD) { return ERROR_FILE_NOT_FOUND; }

DWORD RegGetPolicyParameter(HKEY, const char*, const char*, DWORD, void*, DWORD, DWORD) { return ERROR_FILE_NOT_FOUND; }

DWORD SetRegParameter(HKEY, const char*, const char*, DWORD, const void*, DWORD, DWORD) { return ERROR_SUCCESS; }
