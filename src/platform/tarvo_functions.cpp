// Registration of the platform's built-ins and its step and shut-down hooks.
// A built-in's id is its index in the function table, so the rows below are
// in the order compiled code relies on: change it only by appending. Older
// names that begin with "Tarvo_" (and "openfeint_" twins) share the routine
// of their current name, sometimes with an argument count of their own.
//
// [SECTION] InitTarvoFunctions rows, family after family
// [SECTION] InitPushFunctions and InitMetroFunctions rows
// [SECTION] registrars and hooks
#include "platform/platform_builtins.h"

#include <cstdlib>
#include <new>

#include "core/console.h"
#include "core/mutex.h"
#include "vm/runtime_hooks.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] InitTarvoFunctions rows, family after family: virtual keys,
// achievements, cloud saves (flag set), URLs, advertising and rating,
// clickable buttons, device and OS information, GUI size, the social game
// network, mouse devices with tilt and keypad, Facebook, OS pause and focus,
// encoding and hashing, network/power/orientation/analytics, phone live
// tiles, release mode and application surface (flag set but for
// "application_get_position"), player and extension stubs, and the console
// platforms (flag set, all one routine).

const PlatformBuiltinRow kTarvoRows[] = {
    {"Tarvo_AddVirtualKey", F_IO_AddVirtualKey, 5, false},
    {"Tarvo_DeleteVirtualKey", F_IO_DeleteVirtualKey, 1, false},
    {"Tarvo_ShowVirtualKey", F_IO_ShowVirtualKey, 1, false},
    {"Tarvo_HideVirtualKey", F_IO_HideVirtualKey, 1, false},
    {"virtual_key_add", F_IO_AddVirtualKey, 5, false},
    {"virtual_key_delete", F_IO_DeleteVirtualKey, 1, false},
    {"virtual_key_show", F_IO_ShowVirtualKey, 1, false},
    {"virtual_key_hide", F_IO_HideVirtualKey, 1, false},
    {"Tarvo_LoginAchievements", F_Tarvo_LoginAchievements, 0, false},
    {"Tarvo_LogoutAchievements", F_Tarvo_LogoutAchievements, 0, false},
    {"Tarvo_PostAchievement", F_Tarvo_PostAchievement, 2, false},
    {"Tarvo_PostScore", F_Tarvo_PostScore, 2, false},
    {"Tarvo_AchievementsAvailable", F_Tarvo_AchievementsAvailable, 0, false},
    {"achievement_available", F_Tarvo_AchievementsAvailable, 0, false},
    {"achievement_post_score", F_Tarvo_PostScore, 2, false},
    {"achievement_post", F_Tarvo_PostAchievement, 2, false},
    {"achievement_increment", F_Tarvo_IncrementAchievement, 2, false},
    {"achievement_event", F_Tarvo_AchievementEvent, 1, false},
    {"achievement_login", F_Tarvo_LoginAchievements, 0, false},
    {"achievement_logout", F_Tarvo_LogoutAchievements, 0, false},
    {"achievement_reset", F_Tarvo_AchievementReset, 0, false},
    {"achievement_show_achievements", F_Tarvo_AchievementsShowAchievements, 0, false},
    {"achievement_show", F_Tarvo_AchievementsShow, 2, false},
    {"achievement_show_leaderboards", F_Tarvo_AchievementsShowLeaderboards, 0, false},
    {"achievement_load_friends", F_Tarvo_AchievementsLoadFriends, 0, false},
    {"achievement_load_leaderboard", F_Tarvo_AchievementLoadLeaderboard, 4, false},
    {"achievement_get_pic", F_Tarvo_Achievement_GetPic, 1, false},
    {"achievement_get_info", F_Tarvo_Achievement_GetInfo, 1, false},
    {"achievement_load_progress", F_Tarvo_AchievementLoadProgress, 0, false},
    {"achievement_send_challenge", F_Tarvo_AchievementSendChallenge, 5, false},
    {"achievement_get_challenges", F_Tarvo_AchievementGetChallenges, 0, false},
    {"achievement_show_challenge_notifications", F_Tarvo_AchievementShowChallengeNotifications, 3, false},
    {"cloud_file_save", F_Tarvo_CloudFileSave, 2, true},
    {"cloud_string_save", F_Tarvo_CloudStringSave, 2, true},
    {"cloud_synchronise", F_Tarvo_CloudSynchronise, 0, true},
    {"Tarvo_OpenURL", F_Tarvo_OpenURL, 1, false},
    {"Tarvo_OpenURL_ext", F_Tarvo_OpenURL_ext, 2, false},
    {"Tarvo_OpenURL_full", F_Tarvo_OpenURL_full, 3, false},
    {"url_open", F_Tarvo_OpenURL, 1, false},
    {"url_open_ext", F_Tarvo_OpenURL_ext, 2, false},
    {"url_open_full", F_Tarvo_OpenURL_full, 3, false},
    {"url_get_domain", F_Tarvo_GetDomain, 1, false},
    {"Tarvo_EnableAds", F_Tarvo_EnableAds, 5, false},
    {"Tarvo_DisableAds", F_Tarvo_DisableAds, 0, false},
    {"Tarvo_LeaveRating", F_Tarvo_LeaveRating, 4, false},
    {"ads_enable", F_Tarvo_EnableAdsEx, 3, false},
    {"ads_disable", F_Tarvo_DisableAds, 1, false},
    {"ads_event", F_Tarvo_AdsEvent, 1, false},
    {"ads_event_preload", F_Tarvo_AdsPreload, 1, false},
    {"ads_get_display_width", F_Tarvo_GetAdsWidth, 1, false},
    {"ads_get_display_height", F_Tarvo_GetAdsHeight, 1, false},
    {"ads_move", F_Tarvo_MoveAdsEx, 3, false},
    {"ads_interstitial_available", F_Tarvo_Ads_Interstitial_Available, 0, false},
    {"ads_interstitial_display", F_Tarvo_Ads_Interstitial_Display, 0, false},
    {"ads_engagement_available", F_Tarvo_AdsEngagementAvailable, 1, false},
    {"ads_engagement_launch", F_TarvoAdsEngagementLaunch, 1, false},
    {"ads_engagement_active", F_TarvoAdsEngagementActive, 1, false},
    {"ads_setup", F_TarvoAdsSetup, 2, false},
    {"ads_set_reward_callback", F_TarvoAdsRewardCallback, 1, false},
    {"clickable_add", F_BE_AddButton, 6, false},
    {"clickable_add_ext", F_BE_AddButtonExt, 8, false},
    {"clickable_change", F_BE_ChangeImage, 4, false},
    {"clickable_change_ext", F_BE_Change, 5, false},
    {"clickable_delete", F_BE_DeleteButton, 1, false},
    {"clickable_exists", F_BE_ExistsButton, 1, false},
    {"clickable_set_style", F_BE_SetStyle, 2, false},
    {"shop_leave_rating", F_Tarvo_LeaveRating, 4, false},
    {"Tarvo_GetTimer", F_Tarvo_GetTimer, 0, false},
    {"Tarvo_GetPlatform", F_Tarvo_GetPlatform, 0, false},
    {"Tarvo_GetDevice", F_Tarvo_GetDevice, 0, false},
    {"Tarvo_GetCPUDetails", F_Tarvo_GetCPUDetails, 0, false},
    {"Tarvo_GetConfig", F_Tarvo_GetConfig, 0, false},
    {"get_timer", F_Tarvo_GetTimer, 0, false},
    {"os_get_config", F_Tarvo_GetConfig, 0, false},
    {"os_get_info", F_Tarvo_OsGetInfo, 0, false},
    {"os_get_language", F_Tarvo_GetLanguage, 0, false},
    {"os_get_region", F_Tarvo_GetRegion, 0, false},
    {"os_request_permission", F_Tarvo_RequestPermission, 1, false},
    {"os_check_permission", F_Tarvo_CheckPermission, 1, false},
    {"code_is_compiled", F_CodeIsCompiled, 0, false},
    {"display_get_dpi_x", F_Tarvo_GetDPIX, 0, false},
    {"display_get_dpi_y", F_Tarvo_GetDPIY, 0, false},
    {"display_set_gui_size", F_Tarvo_SetGUISize, 2, false},
    {"display_get_gui_width", F_Tarvo_GetGUIWidth, 0, false},
    {"display_get_gui_height", F_Tarvo_GetGUIHeight, 0, false},
    {"display_set_gui_maximise", F_Tarvo_SetGUIMaximise, 2, false},
    {"Tarvo_OF_StartDashboard", F_Tarvo_OF_StartDashboard, 0, false},
    {"Tarvo_OF_AddAchievement", F_Tarvo_OF_AddAchievement, 2, false},
    {"Tarvo_OF_AddLeaderboard", F_Tarvo_OF_AddLeaderboard, 3, false},
    {"Tarvo_OF_SendChallenge", F_Tarvo_OF_SendChallenge, 3, false},
    {"Tarvo_OF_SendInvite", F_Tarvo_OF_SendInvite, 1, false},
    {"Tarvo_OF_SendSocial", F_Tarvo_OF_SendSocial, 3, false},
    {"Tarvo_OF_SetURL", F_Tarvo_OF_SetURL, 1, false},
    {"Tarvo_OF_AcceptChallenge", F_Tarvo_OF_AcceptChallenge, 0, false},
    {"Tarvo_OF_IsOnline", F_Tarvo_Achievement_IsOnline, 0, false},
    {"Tarvo_OF_SendChallengeResult", F_Tarvo_OF_SendChallengeResult, 2, false},
    {"openfeint_start", F_Tarvo_OF_StartDashboard, 0, false},
    {"achievement_map_achievement", F_Tarvo_OF_AddAchievement, 2, false},
    {"achievement_map_leaderboard", F_Tarvo_OF_AddLeaderboard, 3, false},
    {"openfeint_send_challenge", F_Tarvo_OF_SendChallenge, 3, false},
    {"openfeint_send_invite", F_Tarvo_OF_SendInvite, 1, false},
    {"openfeint_send_social", F_Tarvo_OF_SendSocial, 3, false},
    {"openfeint_set_url", F_Tarvo_OF_SetURL, 1, false},
    {"openfeint_accept_challenge", F_Tarvo_OF_AcceptChallenge, 0, false},
    {"achievement_login_status", F_Tarvo_Achievement_IsOnline, 0, false},
    {"openfeint_send_result", F_Tarvo_OF_SendChallengeResult, 2, false},
    {"Tarvo_MouseCheckButton", F_Tarvo_MouseCheckButton, 2, false},
    {"Tarvo_MouseCheckButtonPressed", F_Tarvo_MouseCheckButtonPressed, 2, false},
    {"Tarvo_MouseCheckButtonReleased", F_Tarvo_MouseCheckButtonReleased, 2, false},
    {"Tarvo_MouseX", F_Tarvo_MouseX, 1, false},
    {"Tarvo_MouseY", F_Tarvo_MouseY, 1, false},
    {"Tarvo_MouseXRaw", F_Tarvo_MouseXRaw, 1, false},
    {"Tarvo_MouseYRaw", F_Tarvo_MouseYRaw, 1, false},
    {"Tarvo_GetTiltX", F_Tarvo_GetTiltX, 0, false},
    {"Tarvo_GetTiltY", F_Tarvo_GetTiltY, 0, false},
    {"Tarvo_GetTiltZ", F_Tarvo_GetTiltZ, 0, false},
    {"Tarvo_IsKeypadOpen", F_Tarvo_IsKeypadOpen, 0, false},
    {"device_mouse_check_button", F_Tarvo_MouseCheckButton, 2, false},
    {"device_mouse_check_button_pressed", F_Tarvo_MouseCheckButtonPressed, 2, false},
    {"device_mouse_check_button_released", F_Tarvo_MouseCheckButtonReleased, 2, false},
    {"device_mouse_x", F_Tarvo_MouseX, 1, false},
    {"device_mouse_y", F_Tarvo_MouseY, 1, false},
    {"device_mouse_raw_x", F_Tarvo_MouseXRaw, 1, false},
    {"device_mouse_raw_y", F_Tarvo_MouseYRaw, 1, false},
    {"device_mouse_x_to_gui", F_MouseXToGUI, 1, false},
    {"device_mouse_y_to_gui", F_MouseYToGUI, 1, false},
    {"device_get_tilt_x", F_Tarvo_GetTiltX, 0, false},
    {"device_get_tilt_y", F_Tarvo_GetTiltY, 0, false},
    {"device_get_tilt_z", F_Tarvo_GetTiltZ, 0, false},
    {"device_is_keypad_open", F_Tarvo_IsKeypadOpen, 0, false},
    {"facebook_init", F_Tarvo_FacebookInit, 0, false},
    {"facebook_login", F_Tarvo_FacebookLogin, 2, false},
    {"facebook_status", F_Tarvo_FacebookLoginStatus, 0, false},
    {"facebook_graph_request", F_Tarvo_FacebookGraphRequest, 4, false},
    {"facebook_dialog", F_Tarvo_FacebookDialog, 3, false},
    {"facebook_logout", F_Tarvo_FacebookLogout, 0, false},
    {"facebook_user_id", F_Tarvo_FacebookUserId, 0, false},
    {"facebook_accesstoken", F_Tarvo_FacebookAccessToken, 0, false},
    {"facebook_launch_offerwall", F_Tarvo_FacebookNull, 1, false},
    {"facebook_post_message", F_Tarvo_FacebookPostMessage, 7, false},
    {"facebook_send_invite", F_Tarvo_FacebookSendInvite, 5, false},
    {"facebook_check_permission", F_Tarvo_FacebookCheckPermission, 1, false},
    {"facebook_request_read_permissions", F_Tarvo_FacebookRequestReadPermissions, 1, false},
    {"facebook_request_publish_permissions", F_Tarvo_FacebookRequestPublishPermissions, 1, false},
    {"Tarvo_OSPauseEvent", F_Tarvo_OSPauseEvent, 0, false},
    {"os_is_paused", F_Tarvo_OSPauseEvent, 0, false},
    {"window_has_focus", F_Tarvo_OSHasFocus, 0, false},
    {"base64_encode", F_Tarvo_Base64Encode, 1, false},
    {"base64_decode", F_Tarvo_Base64Decode, 1, false},
    {"md5_string_unicode", F_Tarvo_MD5Unicode, 1, false},
    {"md5_string_utf8", F_Tarvo_MD5Utf8, 1, false},
    {"md5_file", F_Tarvo_MD5File, 1, false},
    {"sha1_string_unicode", F_Tarvo_SHA1Unicode, 1, false},
    {"sha1_string_utf8", F_Tarvo_SHA1Utf8, 1, false},
    {"sha1_file", F_Tarvo_SHA1File, 1, false},
    {"os_is_network_connected", F_Tarvo_IsNetworkConnected, 0, false},
    {"os_powersave_enable", F_Tarvo_PowersaveEnable, 1, false},
    {"os_lock_orientation", F_Tarvo_LockOrientation, 1, false},
    {"analytics_event", F_Tarvo_AnalyticsEvent, 1, false},
    {"analytics_event_ext", F_Tarvo_AnalyticsEventExt, -1, false},
    {"winphone_tile_title", F_Tarvo_WinPhone_SetTile_Common_Title, 1, false},
    {"winphone_tile_count", F_Tarvo_WinPhone_SetTile_Common_Count, 1, false},
    {"winphone_tile_back_title", F_Tarvo_WinPhone_SetTile_Flip_BackTitle, 1, false},
    {"winphone_tile_back_content", F_Tarvo_WinPhone_SetTile_Flip_BackContent, 1, false},
    {"winphone_tile_back_content_wide", F_Tarvo_WinPhone_SetTile_Flip_BackContentWide, 1, false},
    {"winphone_tile_front_image", F_Tarvo_WinPhone_SetTile_Flip_FrontImage, 1, false},
    {"winphone_tile_front_image_small", F_Tarvo_WinPhone_SetTile_Flip_FrontImageSmall, 1, false},
    {"winphone_tile_front_image_wide", F_Tarvo_WinPhone_SetTile_Flip_FrontImageWide, 1, false},
    {"winphone_tile_back_image", F_Tarvo_WinPhone_SetTile_Flip_BackImage, 1, false},
    {"winphone_tile_back_image_wide", F_Tarvo_WinPhone_SetTile_Flip_BackImageWide, 1, false},
    {"winphone_tile_background_color", F_Tarvo_WinPhone_SetTile_Iconic_BackgroundColour, 1, false},
    {"winphone_tile_background_colour", F_Tarvo_WinPhone_SetTile_Iconic_BackgroundColour, 1, false},
    {"winphone_tile_icon_image", F_Tarvo_WinPhone_SetTile_Iconic_IconImage, 1, false},
    {"winphone_tile_small_icon_image", F_Tarvo_WinPhone_SetTile_Iconic_SmallIconImage, 1, false},
    {"winphone_tile_wide_content", F_Tarvo_WinPhone_SetTile_Iconic_WideContent, 2, false},
    {"winphone_tile_cycle_images", F_Tarvo_WinPhone_SetTile_Cycle_CycleImages, -1, false},
    {"winphone_tile_small_background_image", F_Tarvo_WinPhone_SetTile_Cycle_SmallBackgroundImage, 1, false},
    {"vtl_release_mode", F_VTLReleaseMode, 1, true},
    {"application_surface_draw_enable", F_VTLApplicationSurfaceDrawEnable, 1, true},
    {"application_get_position", F_ApplicationGetPos, 0, false},
    {"application_surface_enable", F_AppSurfaceEnable, 1, true},
    {"application_surface_is_enabled", F_AppSurfaceIsEnabled, 0, true},
    {"zqg_player_run", F_PlayerRun, 4, false},
    {"zqg_player_restarted", F_PlayerRestarted, 0, false},
    {"zqg_player_launch_args", F_PlayerGetLaunchArgs, 0, false},
    {"extension_stubfunc_real", F_ExtensionStubFuncReal, 0, false},
    {"extension_stubfunc_string", F_ExtensionStubFuncString, 0, false},
    {"ps4_share_screenshot_enable", F_Platform_Function_Not_Supported, 1, true},
    {"ps4_share_video_enable", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_get_user_count", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_get_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_get_activating_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_user_is_active", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_user_is_guest", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_user_is_signed_in", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_user_is_remote", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_gamedisplayname_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_appdisplayname_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_user_id_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_agegroup_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_gamerscore_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_reputation_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_user_for_pad", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_pad_count_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_pad_for_user", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_sponsor_for_user", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_show_account_picker", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_sprite_add_from_gamerpicture", F_Platform_Function_Not_Supported, 4, true},
    {"xboxone_show_profile_card_for_user", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_generate_player_session_id", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_set_savedata_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_get_savedata_user", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_get_file_error", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_was_terminated", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_is_suspending", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_is_constrained", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_suspend", F_Platform_Function_Not_Supported, 0, true},
    {"xboxone_show_help", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_check_privilege", F_Platform_Function_Not_Supported, 3, true},
    {"xboxone_fire_event", F_Platform_Function_Not_Supported, -1, true},
    {"xboxone_get_stats_for_user", F_Platform_Function_Not_Supported, -1, true},
    {"xboxone_stats_setup", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_set_rich_presence", F_Platform_Function_Not_Supported, 3, true},
    {"xboxone_matchmaking_create", F_Platform_Function_Not_Supported, 4, true},
    {"xboxone_matchmaking_find", F_Platform_Function_Not_Supported, 3, true},
    {"xboxone_matchmaking_start", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_matchmaking_stop", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_matchmaking_session_get_users", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_matchmaking_session_leave", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_matchmaking_send_invites", F_Platform_Function_Not_Supported, 3, true},
    {"xboxone_matchmaking_set_joinable_session", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_matchmaking_join_invite", F_Platform_Function_Not_Supported, 4, true},
    {"xboxone_chat_add_user_to_channel", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_chat_remove_user_from_channel", F_Platform_Function_Not_Supported, 2, true},
    {"xboxone_chat_set_muted", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_set_service_configuration_id", F_Platform_Function_Not_Supported, 1, true},
    {"xboxone_read_player_leaderboard", F_Platform_Function_Not_Supported, 4, true},
    {"xboxlive_get_user_count", F_Platform_Function_Not_Supported, 0, true},
    {"xboxlive_get_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_get_activating_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_user_is_active", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_user_is_guest", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_user_is_signed_in", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_user_is_signing_in", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_user_is_remote", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_gamedisplayname_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_appdisplayname_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_gamertag_for_user", F_Platform_Function_Not_Supported, -1, true},
    {"xboxlive_user_id_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_agegroup_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_gamerscore_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_reputation_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_user_for_pad", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_pad_count_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_pad_for_user", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_sponsor_for_user", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_show_account_picker", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_sprite_add_from_gamerpicture", F_Platform_Function_Not_Supported, 4, true},
    {"xboxlive_show_profile_card_for_user", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_generate_player_session_id", F_Platform_Function_Not_Supported, 0, true},
    {"xboxlive_read_player_leaderboard", F_Platform_Function_Not_Supported, 4, true},
    {"xboxlive_set_savedata_user", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_get_savedata_user", F_Platform_Function_Not_Supported, 0, true},
    {"xboxlive_get_file_error", F_Platform_Function_Not_Supported, 0, true},
    {"uwp_was_terminated", F_Platform_Function_Not_Supported, 0, true},
    {"uwp_is_suspending", F_Platform_Function_Not_Supported, 0, true},
    {"uwp_is_constrained", F_Platform_Function_Not_Supported, 0, true},
    {"uwp_suspend", F_Platform_Function_Not_Supported, 0, true},
    {"uwp_show_help", F_Platform_Function_Not_Supported, 1, true},
    {"uwp_check_privilege", F_Platform_Function_Not_Supported, 3, true},
    {"xboxlive_fire_event", F_Platform_Function_Not_Supported, -1, true},
    {"xboxlive_get_stats_for_user", F_Platform_Function_Not_Supported, -1, true},
    {"xboxlive_stats_setup", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_set_rich_presence", F_Platform_Function_Not_Supported, 3, true},
    {"xboxlive_matchmaking_create", F_Platform_Function_Not_Supported, 4, true},
    {"xboxlive_matchmaking_find", F_Platform_Function_Not_Supported, 3, true},
    {"xboxlive_matchmaking_start", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_matchmaking_stop", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_matchmaking_session_get_users", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_matchmaking_session_leave", F_Platform_Function_Not_Supported, 1, true},
    {"xboxlive_matchmaking_send_invites", F_Platform_Function_Not_Supported, 3, true},
    {"xboxlive_matchmaking_set_joinable_session", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_matchmaking_join_invite", F_Platform_Function_Not_Supported, 4, true},
    {"xboxlive_chat_add_user_to_channel", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_chat_remove_user_from_channel", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_chat_set_muted", F_Platform_Function_Not_Supported, 2, true},
    {"xboxlive_set_service_configuration_id", F_Platform_Function_Not_Supported, 1, true},
    {"psn_get_leaderboard_score_range", F_Platform_Function_Not_Supported, 4, true},
    {"psn_default_user_name", F_Platform_Function_Not_Supported, 0, true},
    {"psn_name_for_pad", F_Platform_Function_Not_Supported, 1, true},
    {"psn_unlock_trophy", F_Platform_Function_Not_Supported, 2, true},
    {"psn_get_trophy_unlock_state", F_Platform_Function_Not_Supported, 1, true},
    {"psn_init_np_libs", F_Platform_Function_Not_Supported, 3, true},
    {"psn_exit_np_libs", F_Platform_Function_Not_Supported, 0, true},
    {"psn_get_leaderboard_score", F_Platform_Function_Not_Supported, 2, true},
    {"psn_post_leaderboard_score", F_Platform_Function_Not_Supported, 3, true},
    {"psn_post_leaderboard_score_comment", F_Platform_Function_Not_Supported, 4, true},
    {"psn_check_np_availability", F_Platform_Function_Not_Supported, 2, true},
    {"psn_tick_error_dialog", F_Platform_Function_Not_Supported, 0, true},
    {"psn_get_friends_scores", F_Platform_Function_Not_Supported, 4, true},
    {"psn_name_for_user", F_Platform_Function_Not_Supported, 1, true},
    {"psn_default_user", F_Platform_Function_Not_Supported, 0, true},
    {"psn_user_for_pad", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_reset_create_params", F_Platform_Function_Not_Supported, 0, true},
    {"matchmaking_add_create_param", F_Platform_Function_Not_Supported, 2, true},
    {"matchmaking_session_create", F_Platform_Function_Not_Supported, 2, true},
    {"matchmaking_session_get_users", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_session_get_owner", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_session_set_closed", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_session_set_open", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_session_set_hidden", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_reset_find_params", F_Platform_Function_Not_Supported, 0, true},
    {"matchmaking_add_find_param", F_Platform_Function_Not_Supported, 3, true},
    {"matchmaking_session_find", F_Platform_Function_Not_Supported, 0, true},
    {"matchmaking_session_join", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_session_leave", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_session_update", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_start", F_Platform_Function_Not_Supported, 2, true},
    {"matchmaking_stop", F_Platform_Function_Not_Supported, 0, true},
    {"matchmaking_session_invite_start", F_Platform_Function_Not_Supported, 1, true},
    {"matchmaking_send_invites_no_ui", F_Platform_Function_Not_Supported, 4, true},
    {"matchmaking_send_invites", F_Platform_Function_Not_Supported, 3, true},
    {"matchmaking_tick_invites", F_Platform_Function_Not_Supported, 0, true},
    {"matchmaking_join_invite", F_Platform_Function_Not_Supported, 1, true},
    {"psn_set_content_restriction", F_Platform_Function_Not_Supported, 1, true},
    {"psn_load_modules", F_Platform_Function_Not_Supported, 0, true},
    {"psn_get_avatar_url", F_Platform_Function_Not_Supported, 1, true},
    {"psn_get_tus_data", F_Platform_Function_Not_Supported, 2, true},
    {"psn_set_tus_data", F_Platform_Function_Not_Supported, 4, true},
    {"psn_get_tus_variable", F_Platform_Function_Not_Supported, 2, true},
    {"psn_set_tus_variable", F_Platform_Function_Not_Supported, 3, true},
    {"psn_delete_tus_data", F_Platform_Function_Not_Supported, 2, true},
    {"psn_content_restriction_add", F_Platform_Function_Not_Supported, 2, true},
    {"psn_net_check", F_Platform_Function_Not_Supported, 1, true},
    {"psn_setup_trophies", F_Platform_Function_Not_Supported, 0, true},
    {"psn_tick", F_Platform_Function_Not_Supported, 0, true},
    {"psn_init_trophy", F_Platform_Function_Not_Supported, 1, true},
    {"psn_np_status", F_Platform_Function_Not_Supported, 1, true},
    {"psn_show_error_dialog", F_Platform_Function_Not_Supported, 1, true},
    {"psn_check_free_space", F_Platform_Function_Not_Supported, 2, true},
    {"video_open", F_Platform_Function_Not_Supported, 1, true},
    {"video_close", F_Platform_Function_Not_Supported, 0, true},
    {"video_draw", F_Platform_Function_Not_Supported, 0, true},
    {"video_set_volume", F_Platform_Function_Not_Supported, 1, true},
};

// ---------------------------------------------------------------------------
// [SECTION] InitPushFunctions and InitMetroFunctions rows

const PlatformBuiltinRow kPushRows[] = {
    {"push_local_notification", F_Push_LocalNotification, 4, false},
    {"push_get_first_local_notification", F_Push_GetFirstLocalNotification, 1, false},
    {"push_get_next_local_notification", F_Push_GetNextLocalNotification, 1, false},
    {"push_cancel_local_notification", F_Push_CancelLocalNotification, 1, false},
};

const PlatformBuiltinRow kMetroRows[] = {
    {"win8_livetile_tile_notification", F_Tarvo_Win8_NULL, 4, false},
    {"win8_livetile_tile_clear", F_Tarvo_Win8_NULL, 0, false},
    {"win8_livetile_badge_notification", F_Tarvo_Win8_NULL, 1, false},
    {"win8_livetile_badge_clear", F_Tarvo_Win8_NULL, 0, false},
    {"win8_livetile_queue_enable", F_Tarvo_Win8_NULL, 1, false},
    {"win8_appbar_enable", F_Tarvo_Win8_NULL, 1, false},
    {"win8_appbar_add_element", F_Tarvo_Win8_NULL, 6, false},
    {"win8_appbar_remove_element", F_Tarvo_Win8_NULL, 1, false},
    {"win8_share_image", F_Tarvo_Win8_NULL, 3, false},
    {"win8_share_screenshot", F_Tarvo_Win8_NULL, 2, false},
    {"win8_share_file", F_Tarvo_Win8_NULL, 3, false},
    {"win8_share_url", F_Tarvo_Win8_NULL, 3, false},
    {"win8_share_text", F_Tarvo_Win8_NULL, 3, false},
    {"win8_settingscharm_add_entry", F_Tarvo_Win8_NULL, 2, false},
    {"win8_settingscharm_add_html_entry", F_Tarvo_Win8_NULL, 3, false},
    {"win8_settingscharm_add_xaml_entry", F_Tarvo_Win8_NULL, 4, false},
    {"win8_settingscharm_set_xaml_property", F_Tarvo_Win8_NULL, 4, false},
    {"win8_settingscharm_get_xaml_property", F_Tarvo_Win8_NULL, 3, false},
    {"win8_settingscharm_remove_entry", F_Tarvo_Win8_NULL, 1, false},
    {"win8_search_enable", F_Tarvo_Win8_NULL, 1, false},
    {"win8_search_disable", F_Tarvo_Win8_NULL, 0, false},
    {"win8_search_add_suggestions", F_Tarvo_Win8_NULL, 1, false},
    {"win8_device_touchscreen_available", F_Tarvo_Win8_NULL, 0, false},
    {"win8_secondarytile_pin", F_Tarvo_Win8_NULL, 8, false},
    {"win8_secondarytile_delete", F_Tarvo_Win8_NULL, 1, false},
    {"win8_secondarytile_badge_notification", F_Tarvo_Win8_NULL, 2, false},
    {"win8_livetile_notification_begin", F_Tarvo_Win8_NULL, 1, false},
    {"win8_livetile_notification_secondary_begin", F_Tarvo_Win8_NULL, 2, false},
    {"win8_livetile_notification_expiry", F_Tarvo_Win8_NULL, 1, false},
    {"win8_livetile_notification_tag", F_Tarvo_Win8_NULL, 1, false},
    {"win8_livetile_notification_text_add", F_Tarvo_Win8_NULL, 1, false},
    {"win8_livetile_notification_image_add", F_Tarvo_Win8_NULL, 1, false},
    {"win8_livetile_notification_end", F_Tarvo_Win8_NULL, 0, false},
};

// ---------------------------------------------------------------------------
// [SECTION] registrars and hooks

void Register(std::span<const PlatformBuiltinRow> rows) {
    for (const PlatformBuiltinRow& row : rows) Function_Add(row.name, row.routine, row.argc, row.flag);
}

// Made once and never destroyed: other threads may take them at any time,
// up to the process's end.
Mutex* g_pAchievementCacheMutex = nullptr;

Mutex* LastingMutex(const char* name) {
    return new (std::malloc(sizeof(Mutex))) Mutex(name);
}

} // namespace

Mutex* g_pVTPCallbackMutex = nullptr;

std::span<const PlatformBuiltinRow> TarvoBuiltinRows() {
    return kTarvoRows;
}
std::span<const PlatformBuiltinRow> PushBuiltinRows() {
    return kPushRows;
}
std::span<const PlatformBuiltinRow> MetroBuiltinRows() {
    return kMetroRows;
}

void InitTarvoFunctions() {
    if (g_pAchievementCacheMutex == nullptr) g_pAchievementCacheMutex = LastingMutex("comsachievementcache");
    if (g_pVTPCallbackMutex == nullptr) g_pVTPCallbackMutex = LastingMutex("comsvtlcallbacks");
    UpdateCache();
    // The online achievement service: this platform has none, so every
    // online-achievement path stays idle.
    Register(kTarvoRows);
    InitJavaScriptFunctions();
}

void InitPushFunctions() {
    init_csol->Output("InitPushFunctions...\n");
    Register(kPushRows);
}

void InitMetroFunctions() {
    Register(kMetroRows);
}

void UpdateTarvoFunctions() {
    UpdateAchievementCache();
    UpdateOSEvents();
}

void QuitTarvoFunctions() {
    FlushAchievementCache();
}
