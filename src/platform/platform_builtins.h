// The platform's built-in functions, by family: their routines, the
// registrars that put them into the function table (InitTarvoFunctions,
// InitPushFunctions, InitMetroFunctions, see world/run/startup_services.h)
// and the registration rows, which the tests compare with the expected table.
//
// Families whose service this platform does not have answer with fixed
// results (fixed_result_builtins.cpp). The others are built with their own
// services; until then platform/stand_ins.cpp answers for them.
#pragma once

#include <span>

#include "core/builtin_variables.h"
#include "core/function_table.h"

// The operating system as scripts see it ("os_type", "Tarvo_GetPlatform").
inline constexpr int kPlatformOsType = OS_TYPE_RUNTIME;
inline constexpr const char* kPlatformName = "Linux";

class Mutex;
// Guards the script-callback queue, which native code on any thread fills;
// made by InitTarvoFunctions.
extern Mutex* g_pVTPCallbackMutex;

// One registration: the name scripts call, the routine, the argument count
// (-1 any number) and the registration flag.
struct PlatformBuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
    bool flag;
};

// The rows of each registrar, in registration order.
std::span<const PlatformBuiltinRow> TarvoBuiltinRows();
std::span<const PlatformBuiltinRow> PushBuiltinRows();
std::span<const PlatformBuiltinRow> MetroBuiltinRows();

#define ZQ_PLATFORM_ROUTINE(name)                                                                            \
    void name(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);

// Routines built with their services (stand-ins until then).
#define ZQ_PLATFORM_SERVICE_ROUTINES(X)                                                                      \
    X(F_IO_AddVirtualKey)                                                                                    \
    X(F_IO_DeleteVirtualKey)                                                                                 \
    X(F_IO_ShowVirtualKey)                                                                                   \
    X(F_IO_HideVirtualKey)                                                                                   \
    X(F_Tarvo_LoginAchievements)                                                                             \
    X(F_Tarvo_LogoutAchievements)                                                                            \
    X(F_Tarvo_PostAchievement)                                                                               \
    X(F_Tarvo_PostScore)                                                                                     \
    X(F_Tarvo_AchievementsAvailable)                                                                         \
    X(F_Tarvo_IncrementAchievement)                                                                          \
    X(F_Tarvo_AchievementEvent)                                                                              \
    X(F_Tarvo_AchievementReset)                                                                              \
    X(F_Tarvo_AchievementsShowAchievements)                                                                  \
    X(F_Tarvo_AchievementsShow)                                                                              \
    X(F_Tarvo_AchievementsShowLeaderboards)                                                                  \
    X(F_Tarvo_AchievementsLoadFriends)                                                                       \
    X(F_Tarvo_AchievementLoadLeaderboard)                                                                    \
    X(F_Tarvo_Achievement_GetPic)                                                                            \
    X(F_Tarvo_Achievement_GetInfo)                                                                           \
    X(F_Tarvo_AchievementLoadProgress)                                                                       \
    X(F_Tarvo_AchievementSendChallenge)                                                                      \
    X(F_Tarvo_AchievementGetChallenges)                                                                      \
    X(F_Tarvo_AchievementShowChallengeNotifications)                                                         \
    X(F_Tarvo_CloudFileSave)                                                                                 \
    X(F_Tarvo_CloudStringSave)                                                                               \
    X(F_Tarvo_CloudSynchronise)                                                                              \
    X(F_Tarvo_OpenURL)                                                                                       \
    X(F_Tarvo_OpenURL_ext)                                                                                   \
    X(F_Tarvo_OpenURL_full)                                                                                  \
    X(F_Tarvo_GetDomain)                                                                                     \
    X(F_Tarvo_GetConfig)                                                                                     \
    X(F_Tarvo_OsGetInfo)                                                                                     \
    X(F_Tarvo_GetLanguage)                                                                                   \
    X(F_Tarvo_GetRegion)                                                                                     \
    X(F_Tarvo_GetDPIX)                                                                                       \
    X(F_Tarvo_GetDPIY)                                                                                       \
    X(F_Tarvo_IsNetworkConnected)                                                                            \
    X(F_Tarvo_SetGUISize)                                                                                    \
    X(F_Tarvo_GetGUIWidth)                                                                                   \
    X(F_Tarvo_GetGUIHeight)                                                                                  \
    X(F_Tarvo_SetGUIMaximise)                                                                                \
    X(F_Tarvo_OF_StartDashboard)                                                                             \
    X(F_Tarvo_OF_AddAchievement)                                                                             \
    X(F_Tarvo_OF_AddLeaderboard)                                                                             \
    X(F_Tarvo_OF_SendChallenge)                                                                              \
    X(F_Tarvo_OF_SendInvite)                                                                                 \
    X(F_Tarvo_OF_SendSocial)                                                                                 \
    X(F_Tarvo_OF_SetURL)                                                                                     \
    X(F_Tarvo_OF_AcceptChallenge)                                                                            \
    X(F_Tarvo_Achievement_IsOnline)                                                                          \
    X(F_Tarvo_OF_SendChallengeResult)                                                                        \
    X(F_Tarvo_MouseCheckButton)                                                                              \
    X(F_Tarvo_MouseCheckButtonPressed)                                                                       \
    X(F_Tarvo_MouseCheckButtonReleased)                                                                      \
    X(F_Tarvo_MouseX)                                                                                        \
    X(F_Tarvo_MouseY)                                                                                        \
    X(F_Tarvo_MouseXRaw)                                                                                     \
    X(F_Tarvo_MouseYRaw)                                                                                     \
    X(F_MouseXToGUI)                                                                                         \
    X(F_MouseYToGUI)                                                                                         \
    X(F_Tarvo_OSPauseEvent)                                                                                  \
    X(F_Tarvo_Base64Encode)                                                                                  \
    X(F_Tarvo_Base64Decode)                                                                                  \
    X(F_Tarvo_MD5Unicode)                                                                                    \
    X(F_Tarvo_MD5Utf8)                                                                                       \
    X(F_Tarvo_MD5File)                                                                                       \
    X(F_Tarvo_SHA1Unicode)                                                                                   \
    X(F_Tarvo_SHA1Utf8)                                                                                      \
    X(F_Tarvo_SHA1File)                                                                                      \
    X(F_VTLReleaseMode)                                                                                      \
    X(F_ApplicationGetPos)                                                                                   \
    X(F_AppSurfaceEnable)                                                                                    \
    X(F_AppSurfaceIsEnabled)                                                                                 \
    X(F_PlayerRun)                                                                                           \
    X(F_PlayerRestarted)                                                                                     \
    X(F_PlayerGetLaunchArgs)

// Routines with fixed results on this platform, and the few facts it knows.
#define ZQ_PLATFORM_FIXED_ROUTINES(X)                                                                        \
    X(F_Tarvo_GetTimer)                                                                                      \
    X(F_Tarvo_GetPlatform)                                                                                   \
    X(F_Tarvo_GetDevice)                                                                                     \
    X(F_Tarvo_GetCPUDetails)                                                                                 \
    X(F_Tarvo_OSHasFocus)                                                                                    \
    X(F_CodeIsCompiled)                                                                                      \
    X(F_ExtensionStubFuncReal)                                                                               \
    X(F_ExtensionStubFuncString)                                                                             \
    X(F_Tarvo_RequestPermission)                                                                             \
    X(F_Tarvo_CheckPermission)                                                                               \
    X(F_Tarvo_EnableAds)                                                                                     \
    X(F_Tarvo_EnableAdsEx)                                                                                   \
    X(F_Tarvo_DisableAds)                                                                                    \
    X(F_Tarvo_MoveAdsEx)                                                                                     \
    X(F_Tarvo_GetAdsWidth)                                                                                   \
    X(F_Tarvo_GetAdsHeight)                                                                                  \
    X(F_Tarvo_AdsEvent)                                                                                      \
    X(F_Tarvo_AdsPreload)                                                                                    \
    X(F_TarvoAdsSetup)                                                                                       \
    X(F_Tarvo_Ads_Interstitial_Available)                                                                    \
    X(F_Tarvo_Ads_Interstitial_Display)                                                                      \
    X(F_Tarvo_AdsEngagementAvailable)                                                                        \
    X(F_TarvoAdsEngagementActive)                                                                            \
    X(F_TarvoAdsEngagementLaunch)                                                                            \
    X(F_TarvoAdsRewardCallback)                                                                              \
    X(F_Tarvo_LeaveRating)                                                                                   \
    X(F_BE_AddButton)                                                                                        \
    X(F_BE_AddButtonExt)                                                                                     \
    X(F_BE_ChangeImage)                                                                                      \
    X(F_BE_Change)                                                                                           \
    X(F_BE_DeleteButton)                                                                                     \
    X(F_BE_ExistsButton)                                                                                     \
    X(F_BE_SetStyle)                                                                                         \
    X(F_Tarvo_FacebookInit)                                                                                  \
    X(F_Tarvo_FacebookLogin)                                                                                 \
    X(F_Tarvo_FacebookLoginStatus)                                                                           \
    X(F_Tarvo_FacebookGraphRequest)                                                                          \
    X(F_Tarvo_FacebookDialog)                                                                                \
    X(F_Tarvo_FacebookLogout)                                                                                \
    X(F_Tarvo_FacebookUserId)                                                                                \
    X(F_Tarvo_FacebookAccessToken)                                                                           \
    X(F_Tarvo_FacebookNull)                                                                                  \
    X(F_Tarvo_FacebookPostMessage)                                                                           \
    X(F_Tarvo_FacebookSendInvite)                                                                            \
    X(F_Tarvo_FacebookCheckPermission)                                                                       \
    X(F_Tarvo_FacebookRequestReadPermissions)                                                                \
    X(F_Tarvo_FacebookRequestPublishPermissions)                                                             \
    X(F_Tarvo_GetTiltX)                                                                                      \
    X(F_Tarvo_GetTiltY)                                                                                      \
    X(F_Tarvo_GetTiltZ)                                                                                      \
    X(F_Tarvo_IsKeypadOpen)                                                                                  \
    X(F_Tarvo_PowersaveEnable)                                                                               \
    X(F_Tarvo_LockOrientation)                                                                               \
    X(F_Tarvo_AnalyticsEvent)                                                                                \
    X(F_Tarvo_AnalyticsEventExt)                                                                             \
    X(F_Tarvo_WinPhone_SetTile_Common_Title)                                                                 \
    X(F_Tarvo_WinPhone_SetTile_Common_Count)                                                                 \
    X(F_Tarvo_WinPhone_SetTile_Flip_BackTitle)                                                               \
    X(F_Tarvo_WinPhone_SetTile_Flip_BackContent)                                                             \
    X(F_Tarvo_WinPhone_SetTile_Flip_BackContentWide)                                                         \
    X(F_Tarvo_WinPhone_SetTile_Flip_FrontImage)                                                              \
    X(F_Tarvo_WinPhone_SetTile_Flip_FrontImageSmall)                                                         \
    X(F_Tarvo_WinPhone_SetTile_Flip_FrontImageWide)                                                          \
    X(F_Tarvo_WinPhone_SetTile_Flip_BackImage)                                                               \
    X(F_Tarvo_WinPhone_SetTile_Flip_BackImageWide)                                                           \
    X(F_Tarvo_WinPhone_SetTile_Iconic_BackgroundColour)                                                      \
    X(F_Tarvo_WinPhone_SetTile_Iconic_IconImage)                                                             \
    X(F_Tarvo_WinPhone_SetTile_Iconic_SmallIconImage)                                                        \
    X(F_Tarvo_WinPhone_SetTile_Iconic_WideContent)                                                           \
    X(F_Tarvo_WinPhone_SetTile_Cycle_CycleImages)                                                            \
    X(F_Tarvo_WinPhone_SetTile_Cycle_SmallBackgroundImage)                                                   \
    X(F_Tarvo_Win8_NULL)                                                                                     \
    X(F_Platform_Function_Not_Supported)                                                                     \
    X(F_Push_LocalNotification)                                                                              \
    X(F_Push_GetFirstLocalNotification)                                                                      \
    X(F_Push_GetNextLocalNotification)                                                                       \
    X(F_Push_CancelLocalNotification)

ZQ_PLATFORM_SERVICE_ROUTINES(ZQ_PLATFORM_ROUTINE)
ZQ_PLATFORM_FIXED_ROUTINES(ZQ_PLATFORM_ROUTINE)
// Built (app_surface_builtins.cpp).
ZQ_PLATFORM_ROUTINE(F_VTLApplicationSurfaceDrawEnable)

// The hooks of later platform services that the registrar and the step's
// hooks run (stand-ins until those services are built): the achievement
// cache's load, its sending machine and its flush, and the OS pause latch.
void UpdateCache();
void UpdateAchievementCache();
void FlushAchievementCache();
void UpdateOSEvents();
