#include "app/progress.h"
#include "app/globals.h"
#include "app/paths.h"
#include <shlobj.h>
#include <shlguid.h>

static const DWORD c_msBeforeShown = 1000;
// The window is told news at most this often: each telling waits for the
// window's own thread, and thousands of small series would spend more time
// on that than on their copies.
static const DWORD c_msBetweenNews = 100;

static IProgressDialog *s_ppd;
static BOOL s_fActive;
static BOOL s_fNoWindow;       // the system could not give one: the moves go on without
static BOOL s_fStopped;
static DWORD s_dwBegun;
static DWORD s_dwNews;
static ULONGLONG s_cbDone;
static ULONGLONG s_cbTotal;
static ULONGLONG s_cbSeriesLeft;   // of the copy under way
static ULONGLONG (*s_pfnBytesLater)(void);
// A name of the list: at most 149 characters, each one or two UTF-16 units.
static WCHAR s_wszSeries[2 * c_cbListEntry + 1];

void BeginProgress(ULONGLONG (*pfnBytesLater)(void))
{
    s_fActive = TRUE;
    s_fNoWindow = FALSE;
    s_fStopped = FALSE;
    s_dwBegun = GetTickCount();
    s_cbDone = s_cbTotal = s_cbSeriesLeft = 0;
    s_pfnBytesLater = pfnBytesLater;
    s_wszSeries[0] = L'\0';
}

static void ShowSeries(void)
{
    s_ppd->SetLine(2, s_wszSeries, FALSE, NULL);
}

// A series may hold more than the list foresaw (a zip tool's name for it),
// and the bar never runs past its end. The bar itself counts in a signed
// 32-bit range, so a run of gigabytes is told in coarser steps.
static void ShowBytes(void)
{
    ULONGLONG cbDone = s_cbDone;
    ULONGLONG cbTotal = s_cbTotal > cbDone ? s_cbTotal : cbDone;
    while (cbTotal > 0x7FFFFFFF) {
        cbTotal >>= 1;
        cbDone >>= 1;
    }
    s_ppd->SetProgress64(cbDone, cbTotal != 0 ? cbTotal : 1);
}

// Unowned, so that it has a button on the taskbar of its own: the host
// window is never shown.
static void ShowWindowNow(void)
{
    if (FAILED(CoCreateInstance(CLSID_ProgressDialog, NULL, CLSCTX_INPROC_SERVER,
                                IID_IProgressDialog, (void **)&s_ppd))) {
        s_ppd = NULL;
        s_fNoWindow = TRUE;
        return;
    }
    s_ppd->SetTitle(L"Raadrups series installeren");
    s_ppd->SetCancelMsg(L"Bezig met stoppen\u2026", NULL);
    if (FAILED(s_ppd->StartProgressDialog(NULL, NULL, PROGDLG_NORMAL | PROGDLG_NOMINIMIZE, NULL))) {
        s_ppd->Release();
        s_ppd = NULL;
        s_fNoWindow = TRUE;
        return;
    }
    s_ppd->SetLine(1, L"De nieuwe series worden in de data-map van Raadrups gezet.", FALSE, NULL);
    s_cbTotal = s_cbDone + s_cbSeriesLeft + (s_pfnBytesLater != NULL ? s_pfnBytesLater() : 0);
    ShowSeries();
    ShowBytes();
}

static void Refresh(void)
{
    DWORD dwNow = GetTickCount();
    if (s_ppd == NULL && !s_fNoWindow && dwNow - s_dwBegun >= c_msBeforeShown) {
        ShowWindowNow();
        s_dwNews = dwNow;
    }
    if (s_ppd == NULL)
        return;
    if (dwNow - s_dwNews >= c_msBetweenNews) {
        ShowSeries();
        ShowBytes();
        s_dwNews = dwNow;
    }
    if (s_ppd->HasUserCancelled())
        s_fStopped = TRUE;
}

void ProgressOnSeries(const WCHAR *pwszName)
{
    s_wszSeries[0] = L'\0';
    AppendWide(s_wszSeries, sizeof(s_wszSeries) / sizeof(WCHAR), pwszName);
    if (s_fActive)
        Refresh();
}

void ProgressOnCopy(ULONGLONG cb)
{
    s_cbSeriesLeft = cb;
}

BOOL AdvanceProgress(DWORD cb)
{
    s_cbDone += cb;
    s_cbSeriesLeft = s_cbSeriesLeft > cb ? s_cbSeriesLeft - cb : 0;
    if (s_fActive)
        Refresh();
    return !s_fStopped;
}

BOOL IsProgressStopped(void)
{
    return s_fStopped;
}

void EndProgress(void)
{
    if (s_ppd != NULL) {
        s_ppd->StopProgressDialog();
        s_ppd->Release();
        s_ppd = NULL;
    }
    s_fActive = FALSE;
}
