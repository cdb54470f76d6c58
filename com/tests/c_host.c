/* A host written in C that loads DavIrizevez.dll through its C interface, as a client that
 * is no COM client would. It runs one lifetime over a scratch component folder and checks
 * what the component tells it. Usage: c_host.exe COMPONENT-FOLDER (made when missing); the
 * exit code is the number of failed checks. */
#include <direct.h>
#include <stdio.h>
#include <string.h>

#include "davirizevez.h"

#define MAX_CALLS 32
#define CALL_SIZE 160

typedef struct Host {
  char calls[MAX_CALLS][CALL_SIZE]; /* "NOTICE component code stage" or "REPLY text" */
  int count;
  int failReplies; /* SendReply answers E_FAIL */
  int failVersion; /* GetSpecVersion answers E_FAIL */
} Host;

static int failures = 0;

static void check(int condition, const char* what) {
  if (!condition) {
    printf("FAILED: %s\n", what);
    ++failures;
  }
}

static void record(Host* host, const char* prefix, const char* text) {
  if (host->count < MAX_CALLS) {
    snprintf(host->calls[host->count], CALL_SIZE, "%s %s", prefix, text);
  }
  ++host->count;
}

static int32_t post_notice(void* context, const char* component, const char* code, int32_t stage) {
  char text[CALL_SIZE];
  snprintf(text, sizeof text, "%s %s %d", component, code, (int)stage);
  record((Host*)context, "NOTICE", text);
  return 0;
}

static int32_t send_reply(void* context, const char* text, int32_t flags) {
  Host* host = (Host*)context;
  check(flags == 0, "a reply's flags are 0");
  record(host, "REPLY", text);
  return host->failReplies ? (int32_t)0x80004005u : 0;
}

static int32_t client_folder(void* context, const char** text) {
  (void)context;
  *text = "C:\\Program Files\\brisal client";
  return 0;
}

static int32_t client_key(void* context, const char** text) {
  (void)context;
  *text = "Software\\quorel\\brisal client";
  return 0;
}

static int32_t spec_version(void* context, const char** text) {
  *text = "2.5.1";
  return ((Host*)context)->failVersion ? (int32_t)0x80004005u : 0;
}

static int starts_with(const char* text, const char* prefix) {
  return strncmp(text, prefix, strlen(prefix)) == 0;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: c_host COMPONENT-FOLDER\n");
    return 2;
  }
  _mkdir(argv[1]);
  Host host;
  memset(&host, 0, sizeof host);
  DavHostCallbacks callbacks = {&host,         post_notice, send_reply,
                                client_folder, client_key,  spec_version};

  DavComponent* component = DavIrizevez_Create(argv[1]);
  check(component != NULL, "the component is created");
  if (!component) return failures;
  check(strcmp(DavIrizevez_Company(component), "QUOREL") == 0, "Company is QUOREL");
  check(strcmp(DavIrizevez_Name(component), "DavIrizevez") == 0, "Name is DavIrizevez");
  check(strchr(DavIrizevez_Version(component), '.') != NULL, "Version is major.minor.revision");
  check(DavIrizevez_Installed(component) == 1, "Installed is 1");

  DavIrizevez_Initialize(component, &callbacks, 0);
  host.count = 0;

  /* A request answers with the whole document through a reply. */
  DavIrizevez_Handle(component, "REQ_WINCONF", "");
  check(host.count == 1 && starts_with(host.calls[0], "REPLY DavIrizevez\tGIWC\t<"),
        "REQ_WINCONF sends one reply DavIrizevez TAB GIWC TAB document");

  /* Log-off without saved documents and without the shell restart: only its notice. */
  host.count = 0;
  DavIrizevez_Handle(component, "APL_LOGOFF", "NoKillExplorer");
  check(host.count == 1 && strcmp(host.calls[0], "NOTICE DavIrizevez APL_FAENABLE 1") == 0,
        "APL_LOGOFF posts DavIrizevez APL_FAENABLE 1");

  /* Commands compare case-sensitively; NULL counts as empty. */
  host.count = 0;
  DavIrizevez_Handle(component, "req_winconf", NULL);
  DavIrizevez_Handle(component, NULL, NULL);
  check(host.count == 0, "an unknown command and NULL arguments do nothing");

  /* A host that fails its calls: the component logs and returns normally. */
  host.failReplies = 1;
  host.failVersion = 1;
  host.count = 0;
  DavIrizevez_Handle(component, "REQ_SYSCONF", "");
  check(host.count == 1, "a failing SendReply is called once and not retried");

  check(DavIrizevez_Terminate(component) == 0, "Terminate succeeds");
  DavIrizevez_Destroy(component);
  DavIrizevez_Destroy(NULL);

  /* Without callbacks every host call fails; nothing crashes. */
  component = DavIrizevez_Create(argv[1]);
  DavIrizevez_Initialize(component, NULL, 1);
  DavIrizevez_Handle(component, "REQ_WINCONF", "");
  check(DavIrizevez_Terminate(component) == 0, "Terminate without a host succeeds");
  DavIrizevez_Destroy(component);

  printf("%s\n", failures == 0 ? "c_host: all checks passed" : "c_host: checks failed");
  return failures;
}
