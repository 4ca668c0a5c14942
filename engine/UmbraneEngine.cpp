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
    : frameReadyEvent_(CreateEventOrDie(false, false)),
      displayOffEvent_(CreateEventOrDie(true, false)),
      displayOnEvent_(CreateEventOrDie(true, true)) {}

UmbraneEngine::~UmbraneEngine() {
  StopPlayback();
  ReleaseDevices();
  UnhookWindow(hwnd_);
  // The rest goes in reverse declaration order with the members.
}

bool UmbraneEngine::OpenFrameSource() {
  if (frameSource_.Open(config_->dataFilePath, config_->memoryCompact)) return true;
  errorText_ = kDataFileError;
  return false;
}

bool UmbraneEngine::Startup(HWND window, bool previewMode, PlaybackStart start) {
  hwnd_ = window;
  preview_ = previewMode;

  config_ = std::make_unique<UmbraneConfig>(hwnd_);
  config_->Load();
  layered_ = config_->layeredWindow;
  if (layered_) {
    layeredPresenter_ =
        std::make_unique<LayeredPresenter>(hwnd_, frameLock_, frameReadyEvent_.get(), frameSurface_, statistics_);
  }

  // The layered window shows the live desktop: no capture.
  layout_ = LayoutMonitors(hwnd_, preview_, !layered_);

  HookWindow(hwnd_, [this](UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc) {
    return OnWindowMessage(message, wParam, lParam, defaultProc);
  });
  // The answer with the current state comes through the hook.
  displayNotification_ = RegisterForDisplayState(hwnd_);

  const bool shadowMovieWillBeUsed = config_->shadowMovieEnabled && !layered_;
  if (!shadowMovieWillBeUsed && !OpenFrameSource()) return false;

  // Making the devices takes the longest: the captured desktop is on screen meanwhile. Then the
  // window goes back to its host as it was, hidden: the host shows it as it always does, with the
  // activation and keyboard focus it wants (the live desktop, the same picture, shows in between).
  // Unless a message box of the start-up has made it the active window meanwhile: hiding it now
  // would take the activation away, which ends a screen saver.
  showsCapture_ = !preview_ && !layered_ && !layout_.monitors.empty();
  const bool shownEarly = showsCapture_ && !IsWindowVisible(hwnd_);
  if (shownEarly) {
    ShowWindow(hwnd_, SW_SHOWNA);
    UpdateWindow(hwnd_);
  }
  const bool devicesMade = InitDevices();
  if (shownEarly && GetActiveWindow() != hwnd_) ShowWindow(hwnd_, SW_HIDE);
  if (!devicesMade) {
    showsCapture_ = false;  // what a failed start shows is the host's business
    return false;
  }

  if (start == PlaybackStart::Immediately) PostMessageW(hwnd_, StartMessage, 0, 0);
  return true;
}

bool UmbraneEngine::InitDevices() {
  ReleaseDevices();

  direct3d_ = CreateDirect3D();
  if (!direct3d_) {
    errorText_ = kDirect3DError;
    return false;
  }
  if (!FillPresentParameters(direct3d_.Get(), hwnd_, presentParameters_)) return false;
  if (FAILED(CreatePlaybackDevice(direct3d_.Get(), presentParameters_, &device_))) return false;
  if (!AcquireRenderTarget(device_.Get(), renderTarget_)) return false;

  errorText_ = kDirectShowError;

  const bool useVmr7 = config_->VideoRenderer == UmbraneConfig::Vmr7;
  if (useVmr7 && !directDraw_) {
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(directDraw_.ReleaseAndGetAddressOf()),
                                  IID_IDirectDraw7, nullptr))) {
      return false;
    }
    if (FAILED(directDraw_->SetCooperativeLevel(hwnd_, DDSCL_NORMAL))) return false;
  }
  IDirectDraw7* graphDirectDraw = useVmr7 ? directDraw_.Get() : nullptr;

  backgroundGraph_ = std::make_unique<DShowFilterGraph>();
  if (layered_) {
    // Layered mode draws packed frames only; the ini file keeps the user's choice.
    config_->shadowMovieEnabled = false;
    if (!backgroundGraph_->Initialize(hwnd_, nullptr, nullptr)) return false;
  } else if (!backgroundGraph_->Initialize(hwnd_, device_.Get(), graphDirectDraw)) {
    return false;
  }

  if (config_->shadowMovieEnabled) {
    shadowGraph_ = std::make_unique<DShowFilterGraph>();
    if (!shadowGraph_->Initialize(hwnd_, device_.Get(), graphDirectDraw)) return false;
    // Without a sound device a file with no picture does not open at all: it is a movie without
    // video all the same.
    const bool opened = shadowGraph_->Open(config_->shadowMoviePath);
    if (!opened && shadowGraph_->CanPlaySound()) {
      errorText_ = kOpenFileError;
      return false;
    }
    if (opened && shadowGraph_->HasVideo()) {
      shadowGraph_->SetVolume(preview_ ? 0 : config_->shadowMovieVolume);
    } else {
      MessageBoxW(hwnd_, kNoVideoWarning, L"Error", MB_ICONERROR);
      shadowGraph_.reset();
      if (!OpenFrameSource()) return false;
    }
  }

  if (config_->bgmEnabled) {
    if (backgroundGraph_->Open(config_->bgmPath)) {
      backgroundGraph_->SetVolume(preview_ ? 0 : config_->bgmVolume);
    } else if (backgroundGraph_->CanPlaySound()) {
      errorText_ = kOpenFileError;
      return false;
    } else {
      // Music nobody could hear: the animation plays without it (the ini file keeps the choice).
      config_->bgmEnabled = false;
    }
  }

  errorText_ = kNoError;
  return true;
}

void UmbraneEngine::ReleaseDevices() {
  backgroundGraph_.reset();
  shadowGraph_.reset();
  renderTarget_.Reset();
  device_.Reset();
  direct3d_.Reset();
}

void UmbraneEngine::StopPlayback() {
  if (playbackThread_) {
    playbackThread_->Stop();
    playbackThread_.reset();
  }
}

void UmbraneEngine::StartPlayback() {
  StopPlayback();
  playbackThread_ = std::make_unique<Thread>();
  const PlaybackContext context{hwnd_,
                                playbackThread_->stopEvent(),
                                displayOffEvent_.get(),
                                displayOnEvent_.get(),
                                device_.Get(),
                                renderTarget_.Get(),
                                layout_,
                                RenderSettingsOf(*config_, preview_),
                                *backgroundGraph_,
                                shadowGraph_.get(),
                                config_->bgmEnabled,
                                statistics_};
  const PackedFrames frames{frameSource_, config_->foregroundAlpha, resumePosition_};
  Thread::Body body;
  if (layered_) {
    body = [context, frames,
            window = LayeredHandOver{frameLock_, frameReadyEvent_.get(), frameSurface_, layeredPresenter_->size()}] {
      LayeredLoop(context, frames, window);
    };
  } else if (shadowGraph_) {
    body = [context] { ShadowMovieLoop(context); };
  } else {
    body = [context, frames] { PlaybackLoop(context, frames); };
  }
  playbackThread_->Start(std::move(body), true);
  if (layered_) layeredPresenter_->Start(device_.Get(), displayOn_);
  playbackThread_->Resume();
}

bool UmbraneEngine::TryResetDevice() {
  StopPlayback();
  renderTarget_.Reset();
  // Nothing to recover without a device (a failed start-up never posts a loss of its own).
  if (!device_) return false;

  const HRESULT level = device_->TestCooperativeLevel();
  if (level == D3DERR_DEVICELOST) return false;
  if (level != D3DERR_DEVICENOTRESET && level != D3D_OK) Fatal("TestCooperativeLevel");

  const HRESULT reset = device_->Reset(&presentParameters_);
  if (reset == D3DERR_INVALIDCALL) {
    // The video renderers still hold surfaces of the old device: let them go and try again later.
    if (backgroundGraph_) backgroundGraph_->DetachVideo();
    if (shadowGraph_) shadowGraph_->DetachVideo();
    return false;
  }
  // Lost again between the two calls (a lock screen or a mode change in quick succession), or the
  // memory is not free yet: both are documented answers of Reset, and the next tick tries again.
  if (reset == D3DERR_DEVICELOST || reset == D3DERR_OUTOFVIDEOMEMORY) return false;
  if (FAILED(reset)) Fatal("Reset");
  if (!AcquireRenderTarget(device_.Get(), renderTarget_)) Fatal("GetRenderTarget after Reset");

  StartPlayback();
  return true;
}

LRESULT UmbraneEngine::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, DefaultProc defaultProc) {
  if (message == StartMessage) {
    StartPlayback();
    return 0;
  }
  if (message == DeviceLostMessage) {
    if (recoveryTimerId_ != 0) KillTimer(hwnd_, recoveryTimerId_);
    recoveryTimerId_ = SetTimer(hwnd_, kRecoveryTimerId, kRecoveryPeriodMs, nullptr);
    return 0;
  }
  if (message == EndMessage) {
    DestroyWindow(hwnd_);
    return 0;
  }
  if ((message == WM_ERASEBKGND || message == WM_PAINT) && ShowsCapturedDesktop()) {
    return PaintCapturedDesktop(message, wParam);
  }
  if (message == WM_TIMER) {
    // recoveryTimerId is 0 while no recovery runs.
    if (wParam == kRecoveryTimerId && recoveryTimerId_ != 0) {
      if (TryResetDevice()) {
        KillTimer(hwnd_, recoveryTimerId_);
        recoveryTimerId_ = 0;
      }
      return 0;
    }
    if (layeredPresenter_ && LayeredPresenter::IsOwnTick(wParam)) {
      layeredPresenter_->PresentNewest();
      return 0;
    }
  }
  // Followed here, and the host still sees the message.
  const DisplayNews display = ReadDisplayNews(message, wParam, lParam);
  if (display != DisplayNews::None) FollowDisplayPower(display == DisplayNews::On);
  return defaultProc();
}

void UmbraneEngine::FollowDisplayPower(bool on) {
  if (on == displayOn_) return;  // the same news again
  displayOn_ = on;
  ResetEventOrDie((on ? displayOffEvent_ : displayOnEvent_).get());
  SetEventOrDie((on ? displayOnEvent_ : displayOffEvent_).get());
  // The layered window's updates are the window thread's own share of the drawing.
  if (layeredPresenter_) layeredPresenter_->FollowDisplayPower(on);
}

bool UmbraneEngine::ShowsCapturedDesktop() const { return showsCapture_ && statistics_.framesPresented == 0; }

LRESULT UmbraneEngine::PaintCapturedDesktop(UINT message, WPARAM wParam) {
  if (message == WM_ERASEBKGND) {
    PaintCaptures(reinterpret_cast<HDC>(wParam), layout_);
    return 1;
  }
  PAINTSTRUCT paint;
  if (const HDC dc = BeginPaint(hwnd_, &paint)) PaintCaptures(dc, layout_);
  EndPaint(hwnd_, &paint);
  return 0;
}
