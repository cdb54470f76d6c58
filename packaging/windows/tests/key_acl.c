/* Makes a registry key read-only for everyone, as a key that only administrators may change
 * looks to a standard user:
 *
 *   key_acl.exe HKCU|HKLM KEY
 *
 * The key is made when missing; its access list then grants KEY_READ to Everyone and
 * nothing else, so that a program of this user that asks to write to it is refused. The
 * exit code is 0 on success, 1 with a message on stderr otherwise. */
#include <aclapi.h>
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    fwprintf(stderr, L"usage: key_acl HKCU|HKLM KEY\n");
    return 1;
  }
  HKEY root = wcscmp(argv[1], L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  HKEY key;
  LONG status = RegCreateKeyExW(root, argv[2], 0, NULL, 0, KEY_READ | WRITE_DAC, NULL, &key, NULL);
  if (status != ERROR_SUCCESS) {
    fwprintf(stderr, L"key_acl: cannot open %ls: %ld\n", argv[2], status);
    return 1;
  }
  SID_IDENTIFIER_AUTHORITY world = {SECURITY_WORLD_SID_AUTHORITY};
  PSID everyone = NULL;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  EXPLICIT_ACCESSW access;
  ZeroMemory(&access, sizeof access);
  access.grfAccessPermissions = KEY_READ;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = (LPWSTR)everyone;
  PACL acl = NULL;
  status = SetEntriesInAclW(1, &access, NULL, &acl);
  if (status == ERROR_SUCCESS) {
    status = SetSecurityInfo(key, SE_REGISTRY_KEY,
                             DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, NULL,
                             NULL, acl, NULL);
  }
  if (acl) LocalFree(acl);
  FreeSid(everyone);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    fwprintf(stderr, L"key_acl: cannot set the access list of %ls: %ld\n", argv[2], status);
    return 1;
  }
  return 0;
}
