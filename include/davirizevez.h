/* DavIrizevez.dll for hosts that are not COM clients: the component CCDavIrizevez behind
 * plain C functions. All texts are UTF-8 and NUL-terminated.
 *
 * A host creates a component, initialises it once with a table of its callbacks, hands it
 * any number of commands, terminates it and destroys it:
 *
 *     DavHostCallbacks host = {...};
 *     DavComponent* component = DavIrizevez_Create(NULL);
 *     DavIrizevez_Initialize(component, &host, 0);
 *     DavIrizevez_Handle(component, "REQ_WINCONF", "");
 *     DavIrizevez_Terminate(component);
 *     DavIrizevez_Destroy(component);
 *
 * The callbacks are the host application's operations. Each answers a status in the manner
 * of an HRESULT: 0 (or any value that is not negative) for success, a negative value for a
 * failure, which the component logs as the failing call's error. The functions run on the
 * caller's thread, call back on it, and never report a failure of a command to the host:
 * as through COM, the component logs it. */
#ifndef DAVIRIZEVEZ_H
#define DAVIRIZEVEZ_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(DAVIRIZEVEZ_BUILD)
#define DAVIRIZEVEZ_API __declspec(dllimport)
#else
#define DAVIRIZEVEZ_API
#endif

typedef struct DavComponent DavComponent;

typedef struct DavHostCallbacks {
  /* Passed back as the first argument of every callback. */
  void* context;
  /* A notice: the posting component's name, the notice code, the stage (1 or 2). */
  int32_t (*PostNotice)(void* context, const char* component, const char* code, int32_t stage);
  /* A reply ("DavIrizevez" TAB code TAB document); flags is always 0. */
  int32_t (*SendReply)(void* context, const char* text, int32_t flags);
  /* The host's folder (no trailing backslash), its key path below HKEY_LOCAL_MACHINE (no
   * hive, no trailing backslash) and its version text ("2.5.1" or "2.6.1"). Each sets
   * *text to a UTF-8 string that stays valid until the callback is called again; the
   * component copies it at once. */
  int32_t (*GetClientFolder)(void* context, const char** text);
  int32_t (*GetClientRegistryKey)(void* context, const char** text);
  int32_t (*GetSpecVersion)(void* context, const char** text);
} DavHostCallbacks;

/* A new component whose logs and saved documents go to componentFolder (a Windows path in
 * UTF-8), or to the DLL's own folder when it is NULL. NULL when it cannot be created. */
DAVIRIZEVEZ_API DavComponent* DavIrizevez_Create(const char* componentFolder);

/* Keeps a copy of the callback table (NULL: a host without operations, every call to it
 * fails) and prepares the component. debugMode is stored only. */
DAVIRIZEVEZ_API void DavIrizevez_Initialize(DavComponent* component, const DavHostCallbacks* host,
                                            int debugMode);

/* Runs one host command; cmd and protocol NULL count as empty. */
DAVIRIZEVEZ_API void DavIrizevez_Handle(DavComponent* component, const char* cmd,
                                        const char* protocol);

/* Ends the component's work and releases the host. 0 on success, -1 when it failed. */
DAVIRIZEVEZ_API int32_t DavIrizevez_Terminate(DavComponent* component);

/* Frees the component (NULL is allowed). */
DAVIRIZEVEZ_API void DavIrizevez_Destroy(DavComponent* component);

/* The identity: "QUOREL", "DavIrizevez", "major.minor.revision", and whether the component
 * is installed (always 1). The texts live as long as the component. */
DAVIRIZEVEZ_API const char* DavIrizevez_Company(DavComponent* component);
DAVIRIZEVEZ_API const char* DavIrizevez_Name(DavComponent* component);
DAVIRIZEVEZ_API const char* DavIrizevez_Version(DavComponent* component);
DAVIRIZEVEZ_API int DavIrizevez_Installed(DavComponent* component);

#ifdef __cplusplus
}
#endif

#endif /* DAVIRIZEVEZ_H */
