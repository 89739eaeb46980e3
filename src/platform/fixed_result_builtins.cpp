// Built-ins of services this platform does not have (advertising, ratings,
// clickable buttons, Facebook, tilt and keypad, power saving, orientation,
// analytics, permissions, phone live tiles, Windows 8 charms, console
// platforms, local push notifications), and the facts it answers at once
// (its OS type, device, clock, focus). Each answers with a fixed result;
// where arguments are named they are read with the typed getters, so a game
// that passes the wrong kind learns of it here as on any platform.
//
// [SECTION] platform facts
// [SECTION] advertising and rating
// [SECTION] clickable buttons and Facebook
// [SECTION] device, power, orientation, analytics and permissions
// [SECTION] phone live tiles, Windows 8, console platforms and push
#include "core/arguments.h"
#include "core/console.h"
#include "core/error.h"
#include "core/ref_string.h"
#include "core/timing.h"
#include "platform/platform_builtins.h"

namespace {

constexpr uint32_t kAdSlots = 5;

void SetString(RValue& result, const char* text) {
    ZQCreateString(&result, text);
}

// Slots are 0 to 4; a negative slot reads as a large unsigned one.
bool LegalAdSlot(const RValue* args, int index) {
    const auto slot = static_cast<uint32_t>(ZQGetInt32(args, index));
    if (slot < kAdSlots) return true;
    Error_Show_Action("Illegal advertising slot number", false);
    return false;
}

void ReadStrings(const RValue* args, int count) {
    for (int i = 0; i < count; ++i) ZQGetString(args, i);
}

void ReadInts(const RValue* args, int first, int count) {
    for (int i = first; i < first + count; ++i) ZQGetInt32(args, i);
}

constexpr const char* kWinPhoneNotSupported = "Windows Phone functionality not supported on this platform\n";

// The phone tile setters that take one string: 0, and the not-supported
// line for a single string argument, else the setter's usage line.
void WinPhoneOneString(RValue& result, int argc, const RValue* args, const char* usage) {
    ZQSetResultReal(result, 0);
    if (argc == 1 && args[0].Kind() == VALUE_STRING)
        dbg_csol->Output("%s", kWinPhoneNotSupported);
    else
        dbg_csol->Output("%s", usage);
}

} // namespace

#define ZQ_ROUTINE(name) void name(RValue& result, CInstance*, CInstance*, int argc, RValue* args)
#define ZQ_UNUSED (void)result, (void)argc, (void)args

// ---------------------------------------------------------------------------
// [SECTION] platform facts

ZQ_ROUTINE(F_Tarvo_GetTimer) {
    ZQ_UNUSED;
    ZQSetResultReal(result, static_cast<double>(Timing_Time()));
}
ZQ_ROUTINE(F_Tarvo_GetPlatform) {
    ZQ_UNUSED;
    ZQSetResultReal(result, kPlatformOsType);
}
ZQ_ROUTINE(F_Tarvo_GetDevice) {
    ZQ_UNUSED;
    ZQSetResultReal(result, -1);
}
ZQ_ROUTINE(F_Tarvo_GetCPUDetails) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_OSHasFocus) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 1);
}
ZQ_ROUTINE(F_CodeIsCompiled) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 1);
}
ZQ_ROUTINE(F_ExtensionStubFuncReal) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_ExtensionStubFuncString) {
    ZQ_UNUSED;
    SetString(result, "");
}

// ---------------------------------------------------------------------------
// [SECTION] advertising and rating

ZQ_ROUTINE(F_Tarvo_EnableAds) {
    ZQ_UNUSED;
    ReadInts(args, 0, 2);
}
ZQ_ROUTINE(F_Tarvo_EnableAdsEx) {
    ZQ_UNUSED;
    ReadInts(args, 0, 3);
}
// "Tarvo_DisableAds" is registered without arguments: it has no slot to
// check and does nothing.
ZQ_ROUTINE(F_Tarvo_DisableAds) {
    ZQ_UNUSED;
    if (argc >= 1) LegalAdSlot(args, 0);
}
ZQ_ROUTINE(F_Tarvo_MoveAdsEx) {
    ZQ_UNUSED;
    if (LegalAdSlot(args, 2)) ReadInts(args, 0, 2);
}
ZQ_ROUTINE(F_Tarvo_GetAdsWidth) {
    ZQ_UNUSED;
    LegalAdSlot(args, 0);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_GetAdsHeight) {
    ZQ_UNUSED;
    LegalAdSlot(args, 0);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_AdsEvent) {
    ZQ_UNUSED;
    ReadStrings(args, 1);
}
ZQ_ROUTINE(F_Tarvo_AdsPreload) {
    ZQ_UNUSED;
    ReadStrings(args, 1);
}
ZQ_ROUTINE(F_TarvoAdsSetup) {
    ZQ_UNUSED;
    ReadStrings(args, 1);
}
ZQ_ROUTINE(F_Tarvo_Ads_Interstitial_Available) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_Ads_Interstitial_Display) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_AdsEngagementAvailable) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_TarvoAdsEngagementActive) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_TarvoAdsEngagementLaunch) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_TarvoAdsRewardCallback) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_Tarvo_LeaveRating) {
    ZQ_UNUSED;
    ReadStrings(args, 4);
}

// ---------------------------------------------------------------------------
// [SECTION] clickable buttons and Facebook

ZQ_ROUTINE(F_BE_AddButton) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_BE_AddButtonExt) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_BE_ChangeImage) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_BE_Change) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_BE_DeleteButton) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_BE_ExistsButton) {
    ZQ_UNUSED;
}
ZQ_ROUTINE(F_BE_SetStyle) {
    ZQ_UNUSED;
}

ZQ_ROUTINE(F_Tarvo_FacebookInit) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookLogin) {
    ZQ_UNUSED;
    ReadInts(args, 0, 2);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookLoginStatus) {
    ZQ_UNUSED;
    SetString(result, "IDLE");
}
ZQ_ROUTINE(F_Tarvo_FacebookGraphRequest) {
    ZQ_UNUSED;
    ReadStrings(args, 2);
    ReadInts(args, 2, 2);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookDialog) {
    ZQ_UNUSED;
    ReadStrings(args, 1);
    ReadInts(args, 1, 2);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookLogout) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookUserId) {
    ZQ_UNUSED;
    SetString(result, "");
}
ZQ_ROUTINE(F_Tarvo_FacebookAccessToken) {
    ZQ_UNUSED;
    SetString(result, "");
}
ZQ_ROUTINE(F_Tarvo_FacebookNull) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookPostMessage) {
    ZQ_UNUSED;
    ReadStrings(args, 7);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookSendInvite) {
    ZQ_UNUSED;
    ReadStrings(args, 4);
    ReadInts(args, 4, 1);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookCheckPermission) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookRequestReadPermissions) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_FacebookRequestPublishPermissions) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}

// ---------------------------------------------------------------------------
// [SECTION] device, power, orientation, analytics and permissions

// No accelerometer and no on-screen keypad here.
ZQ_ROUTINE(F_Tarvo_GetTiltX) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_GetTiltY) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_GetTiltZ) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_IsKeypadOpen) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_PowersaveEnable) {
    ZQ_UNUSED;
    ZQGetBool(args, 0);
}
// A desktop window has no orientation to lock.
ZQ_ROUTINE(F_Tarvo_LockOrientation) {
    ZQ_UNUSED;
    ZQGetInt32(args, 0);
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_AnalyticsEvent) {
    ZQ_UNUSED;
    ReadStrings(args, 1);
}
// The event name, then key (string) and value (real) pairs; a last unpaired
// argument is ignored. Nothing is sent here, but a malformed pair is reported.
ZQ_ROUTINE(F_Tarvo_AnalyticsEventExt) {
    ZQ_UNUSED;
    if (argc < 1) return;
    ZQGetString(args, 0);
    bool malformed = false;
    for (int i = 1; i + 1 < argc; i += 2)
        if (args[i].Kind() != VALUE_STRING || args[i + 1].Kind() != VALUE_REAL) malformed = true;
    if (malformed) Error_Show("malformed analytics parameter must be string, number pair", false);
}
ZQ_ROUTINE(F_Tarvo_RequestPermission) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Tarvo_CheckPermission) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
}

// ---------------------------------------------------------------------------
// [SECTION] phone live tiles, Windows 8, console platforms and push

#define ZQ_WINPHONE_ONE_STRING(name, usage)                                                                  \
    ZQ_ROUTINE(name) {                                                                                       \
        WinPhoneOneString(result, argc, args, usage);                                                        \
    }
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Common_Title,
                       "incorrect arguments to winphone_tile_title( title )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_BackTitle,
                       "incorrect arguments to winphone_tile_back_title( title )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_BackContent,
                       "incorrect arguments to winphone_tile_back_content( content )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_BackContentWide,
                       "incorrect arguments to winphone_tile_back_content_wide( content )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_FrontImage,
                       "incorrect arguments to winphone_tile_front_image( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_FrontImageSmall,
                       "incorrect arguments to winphone_tile_front_image_small( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_FrontImageWide,
                       "incorrect arguments to winphone_tile_front_image_wide( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_BackImage,
                       "incorrect arguments to winphone_tile_back_image( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Flip_BackImageWide,
                       "incorrect arguments to winphone_tile_back_image_wide( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Iconic_IconImage,
                       "incorrect arguments to winphone_tile_icon_image( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Iconic_SmallIconImage,
                       "incorrect arguments to winphone_tile_small_icon_image( filename )\n")
ZQ_WINPHONE_ONE_STRING(F_Tarvo_WinPhone_SetTile_Cycle_SmallBackgroundImage,
                       "incorrect arguments to winphone_tile_small_background_image( filename )\n")
#undef ZQ_WINPHONE_ONE_STRING

ZQ_ROUTINE(F_Tarvo_WinPhone_SetTile_Common_Count) {
    ZQ_UNUSED;
    dbg_csol->Output("%s", kWinPhoneNotSupported);
}
ZQ_ROUTINE(F_Tarvo_WinPhone_SetTile_Iconic_BackgroundColour) {
    ZQ_UNUSED;
    dbg_csol->Output("%s", kWinPhoneNotSupported);
}
ZQ_ROUTINE(F_Tarvo_WinPhone_SetTile_Iconic_WideContent) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
    dbg_csol->Output("%s", kWinPhoneNotSupported);
}
ZQ_ROUTINE(F_Tarvo_WinPhone_SetTile_Cycle_CycleImages) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
    if (argc >= 1 && argc <= 9 && args[0].Kind() == VALUE_STRING) {
        dbg_csol->Output("%s", kWinPhoneNotSupported);
        return;
    }
    dbg_csol->Output("incorrect arguments to winphone_tile_cycle_images( filename1, filename2, ... up to "
                     "filename9 )\n");
    Error_Show_Action("Illegal argument count", false);
}

ZQ_ROUTINE(F_Tarvo_Win8_NULL) {
    ZQ_UNUSED;
    ZQSetResultReal(result, 0);
    dbg_csol->Output("Windows8 functionality not supported\n");
}

ZQ_ROUTINE(F_Platform_Function_Not_Supported) {
    ZQ_UNUSED;
    ZQSetResultReal(result, -1);
}

ZQ_ROUTINE(F_Push_LocalNotification) {
    ZQ_UNUSED;
    dbg_csol->Output("Push notification functionality not supported on this platform\n");
    ZQSetResultReal(result, 0);
}
ZQ_ROUTINE(F_Push_GetFirstLocalNotification) {
    ZQ_UNUSED;
    ZQSetResultReal(result, -1);
}
ZQ_ROUTINE(F_Push_GetNextLocalNotification) {
    ZQ_UNUSED;
    ZQSetResultReal(result, -1);
}
ZQ_ROUTINE(F_Push_CancelLocalNotification) {
    ZQ_UNUSED;
    ZQSetResultReal(result, -1);
}
