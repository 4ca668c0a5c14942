#include "engine/UmbraneEngine.h"

#include "base/FatalCheck.h"
#include "engine/EngineTimers.h"
#include "engine/PlaybackModes.h"
#include "engine/PlaybackSettings.h"
#include "engine/RegisteredMessages.h"
#include "media/DShowFilterGraph.h"
#include "render/CapturePaint.h"
#include "render/Direct3DDevice.h"
#include "settings/UmbraneConfig.h"

namespace {
constexpr UINT kRecoveryPeriodMs = 1000;

const wchar_t kDataFileError[] = L"データファイルを読み込めませんでした。";
const wchar_t kDirect3DError[] = L"Direct3D 9の初期化に失敗しました。";
const wchar_t kDirectShowError[] = L"Direct Showの初期化に失敗しました。";
const wchar_t kOpenFileError[] = L"ファイルを開けません。";
const wchar_t kNoVideoWarning[] = L"影絵に指定された動画ファイルから映像を読み取れませんでした。";
const wchar_t kNoError[] = L"no error.";
}  // namespace

UmbraneEngine::UmbraneEngine()
    : frameReadyEvent(CreateEventOrDie(false, false)),
      displayOffEvent(CreateEventOrDie(true, false)),
      displayOnEvent(CreateEventOrDie(true, true)) {}

UmbraneEngine::~UmbraneEngine() {
  StopPlayback();
  ReleaseDevices();
  UnhookWindow(hwnd);
  // The rest goes in reverse declaration order with the members.
}

bool UmbraneEngine::OpenFrameSource() {
  if (frameSource.Open(config->dataFilePath, config->memoryCompact)) return true;
  errorText = kDataFileError;
  return false;
}

bool UmbraneEngine::Startup(HWND window, bool previewMode, PlaybackStart start) {
  hwnd = window;
  preview = previewMode;

  config = std::make_unique<UmbraneConfig>(hwnd);
  config->Load();
  layered = config->layeredWindow;
  if (layered) {
    layeredPresenter = std::make_unique<LayeredPresenter>(hwnd, frameLock, frameReadyEvent.get(), frameSurface, statistics);
  }

  // The layered window shows the live desktop: no capture.
  layout = LayoutMonitors(hwnd, preview, !layered);

  HookWindow(hwnd, [this](UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc) {
    return OnWindowMessage(message, wParam, lParam, defaultProc);
  });
  // The answer with the current state comes through the hook.
  displayNotification = RegisterForDisplayState(hwnd);

  const bool shadowMovieWillBeUsed = config->shadowMovieEnabled && !layered;
  if (!shadowMovieWillBeUsed && !OpenFrameSource()) return false;

  // Making the devices takes the longest: the captured desktop is on screen meanwhile. Then the
  // window goes back to its host as it was, hidden: the host shows it as it always does, with the
  // activation and keyboard focus it wants (the live desktop, the same picture, shows in between).
  // Unless a message box of the start-up has made it the active window meanwhile: hiding it now
  // would take the activation away, which ends a screen saver.
  showsCapture_ = !preview && !layered && !layout.monitors.empty();
  const bool shownEarly = showsCapture_ && !IsWindowVisible(hwnd);
  if (shownEarly) {
    ShowWindow(hwnd, SW_SHOWNA);
    UpdateWindow(hwnd);
  }
  const bool devicesMade = InitDevices();
  if (shownEarly && GetActiveWindow() != hwnd) ShowWindow(hwnd, SW_HIDE);
  if (!devicesMade) {
    showsCapture_ = false;  // what a failed start shows is the host's business
    return false;
  }

  if (start == PlaybackStart::Immediately) PostMessageW(hwnd, StartMessage, 0, 0);
  return true;
}

bool UmbraneEngine::InitDevices() {
  ReleaseDevices();

  direct3d = CreateDirect3D();
  if (!direct3d) {
    errorText = kDirect3DError;
    return false;
  }
  if (!FillPresentParameters(direct3d.Get(), hwnd, presentParameters)) return false;
  if (FAILED(CreatePlaybackDevice(direct3d.Get(), presentParameters, &device))) return false;
  if (!AcquireRenderTarget(device.Get(), renderTarget)) return false;

  errorText = kDirectShowError;

  const bool useVmr7 = config->VideoRenderer == UmbraneConfig::Vmr7;
  if (useVmr7 && !directDraw) {
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(directDraw.ReleaseAndGetAddressOf()),
                                  IID_IDirectDraw7, nullptr))) {
      return false;
    }
    if (FAILED(directDraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL))) return false;
  }
  IDirectDraw7* graphDirectDraw = useVmr7 ? directDraw.Get() : nullptr;

  backgroundGraph = std::make_unique<DShowFilterGraph>();
  if (layered) {
    // Layered mode draws packed frames only; the ini file keeps the user's choice.
    config->shadowMovieEnabled = false;
    if (!backgroundGraph->Initialize(hwnd, nullptr, nullptr)) return false;
  } else if (!backgroundGraph->Initialize(hwnd, device.Get(), graphDirectDraw)) {
    return false;
  }

  if (config->shadowMovieEnabled) {
    shadowGraph = std::make_unique<DShowFilterGraph>();
    if (!shadowGraph->Initialize(hwnd, device.Get(), graphDirectDraw)) return false;
    // Without a sound device a file with no picture does not open at all: it is a movie without
    // video all the same.
    const bool opened = shadowGraph->Open(config->shadowMoviePath);
    if (!opened && shadowGraph->CanPlaySound()) {
      errorText = kOpenFileError;
      return false;
    }
    if (opened && shadowGraph->HasVideo()) {
      shadowGraph->SetVolume(preview ? 0 : config->shadowMovieVolume);
    } else {
      MessageBoxW(hwnd, kNoVideoWarning, L"Error", MB_ICONERROR);
      shadowGraph.reset();
      if (!OpenFrameSource()) return false;
    }
  }

  if (config->bgmEnabled) {
    if (backgroundGraph->Open(config->bgmPath)) {
      backgroundGraph->SetVolume(preview ? 0 : config->bgmVolume);
    } else if (backgroundGraph->CanPlaySound()) {
      errorText = kOpenFileError;
      return false;
    } else {
      // Music nobody could hear: the animation plays without it (the ini file keeps the choice).
      config->bgmEnabled = false;
    }
  }

  errorText = kNoError;
  return true;
}

void UmbraneEngine::ReleaseDevices() {
  backgroundGraph.reset();
  shadowGraph.reset();
  renderTarget.Reset();
  device.Reset();
  direct3d.Reset();
}

void UmbraneEngine::StopPlayback() {
  if (playbackThread) {
    playbackThread->Stop();
    playbackThread.reset();
  }
}

void UmbraneEngine::StartPlayback() {
  StopPlayback();
  playbackThread = std::make_unique<Thread>();
  const PlaybackContext context{hwnd,
                                playbackThread->stopEvent(),
                                displayOffEvent.get(),
                                displayOnEvent.get(),
                                device.Get(),
                                renderTarget.Get(),
                                layout,
                                RenderSettingsOf(*config, preview),
                                *backgroundGraph,
                                shadowGraph.get(),
                                config->bgmEnabled,
                                statistics};
  const PackedFrames frames{frameSource, config->foregroundAlpha, resumePosition};
  Thread::Body body;
  if (layered) {
    body = [context, frames,
            window = LayeredHandOver{frameLock, frameReadyEvent.get(), frameSurface, layeredPresenter->size()}] {
      LayeredLoop(context, frames, window);
    };
  } else if (shadowGraph) {
    body = [context] { ShadowMovieLoop(context); };
  } else {
    body = [context, frames] { PlaybackLoop(context, frames); };
  }
  playbackThread->Start(std::move(body), true);
  if (layered) layeredPresenter->Start(device.Get(), displayOn);
  playbackThread->Resume();
}

bool UmbraneEngine::TryResetDevice() {
  StopPlayback();
  renderTarget.Reset();
  // Nothing to recover without a device (a failed start-up never posts a loss of its own).
  if (!device) return false;

  const HRESULT level = device->TestCooperativeLevel();
  if (level == D3DERR_DEVICELOST) return false;
  if (level != D3DERR_DEVICENOTRESET && level != D3D_OK) Fatal("TestCooperativeLevel");

  const HRESULT reset = device->Reset(&presentParameters);
  if (reset == D3DERR_INVALIDCALL) {
    // The video renderers still hold surfaces of the old device: let them go and try again later.
    if (backgroundGraph) backgroundGraph->DetachVideo();
    if (shadowGraph) shadowGraph->DetachVideo();
    return false;
  }
  // Lost again between the two calls (a lock screen or a mode change in quick succession), or the
  // memory is not free yet: both are documented answers of Reset, and the next tick tries again.
  if (reset == D3DERR_DEVICELOST || reset == D3DERR_OUTOFVIDEOMEMORY) return false;
  if (FAILED(reset)) Fatal("Reset");
  if (!AcquireRenderTarget(device.Get(), renderTarget)) Fatal("GetRenderTarget after Reset");

  StartPlayback();
  return true;
}

LRESULT UmbraneEngine::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc) {
  if (message == StartMessage) {
    StartPlayback();
    return 0;
  }
  if (message == DeviceLostMessage) {
    if (recoveryTimerId != 0) KillTimer(hwnd, recoveryTimerId);
    recoveryTimerId = SetTimer(hwnd, kRecoveryTimerId, kRecoveryPeriodMs, nullptr);
    return 0;
  }
  if (message == EndMessage) {
    DestroyWindow(hwnd);
    return 0;
  }
  if ((message == WM_ERASEBKGND || message == WM_PAINT) && ShowsCapturedDesktop()) {
    return PaintCapturedDesktop(message, wParam);
  }
  if (message == WM_TIMER) {
    // recoveryTimerId is 0 while no recovery runs.
    if (wParam == kRecoveryTimerId && recoveryTimerId != 0) {
      if (TryResetDevice()) {
        KillTimer(hwnd, recoveryTimerId);
        recoveryTimerId = 0;
      }
      return 0;
    }
    if (layeredPresenter && LayeredPresenter::IsOwnTick(wParam)) {
      layeredPresenter->PresentNewest();
      return 0;
    }
  }
  // Followed here, and the host still sees the message.
  const DisplayNews display = ReadDisplayNews(message, wParam, lParam);
  if (display != DisplayNews::None) FollowDisplayPower(display == DisplayNews::On);
  return defaultProc();
}

void UmbraneEngine::FollowDisplayPower(bool on) {
  if (on == displayOn) return;  // the same news again
  displayOn = on;
  ResetEventOrDie((on ? displayOffEvent : displayOnEvent).get());
  SetEventOrDie((on ? displayOnEvent : displayOffEvent).get());
  // The layered window's updates are the window thread's own share of the drawing.
  if (layeredPresenter) layeredPresenter->FollowDisplayPower(on);
}

bool UmbraneEngine::ShowsCapturedDesktop() const { return showsCapture_ && statistics.framesPresented == 0; }

LRESULT UmbraneEngine::PaintCapturedDesktop(UINT message, WPARAM wParam) {
  if (message == WM_ERASEBKGND) {
    PaintCaptures(reinterpret_cast<HDC>(wParam), layout);
    return 1;
  }
  PAINTSTRUCT paint;
  if (const HDC dc = BeginPaint(hwnd, &paint)) PaintCaptures(dc, layout);
  EndPaint(hwnd, &paint);
  return 0;
}
