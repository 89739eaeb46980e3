// The platform's registrars against the table of names, argument counts and
// flags the scripts are compiled against, aliases sharing their routine, and
// the fixed answers of services this platform does not have.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/function_table.h"
#include "core/rvalue.h"
#include "error_capture.h"
#include "platform/platform_builtins.h"
#include "test_values.h"
#include "world/run/startup_services.h"

namespace {

struct Expected {
    const char* name;
    int argc;
    bool flag;
};

// InitTarvoFunctions, in registration order.
const Expected kTarvo[] = {
    {"Tarvo_AddVirtualKey", 5, false},
    {"Tarvo_DeleteVirtualKey", 1, false},
    {"Tarvo_ShowVirtualKey", 1, false},
    {"Tarvo_HideVirtualKey", 1, false},
    {"virtual_key_add", 5, false},
    {"virtual_key_delete", 1, false},
    {"virtual_key_show", 1, false},
    {"virtual_key_hide", 1, false},
    {"Tarvo_LoginAchievements", 0, false},
    {"Tarvo_LogoutAchievements", 0, false},
    {"Tarvo_PostAchievement", 2, false},
    {"Tarvo_PostScore", 2, false},
    {"Tarvo_AchievementsAvailable", 0, false},
    {"achievement_available", 0, false},
    {"achievement_post_score", 2, false},
    {"achievement_post", 2, false},
    {"achievement_increment", 2, false},
    {"achievement_event", 1, false},
    {"achievement_login", 0, false},
    {"achievement_logout", 0, false},
    {"achievement_reset", 0, false},
    {"achievement_show_achievements", 0, false},
    {"achievement_show", 2, false},
    {"achievement_show_leaderboards", 0, false},
    {"achievement_load_friends", 0, false},
    {"achievement_load_leaderboard", 4, false},
    {"achievement_get_pic", 1, false},
    {"achievement_get_info", 1, false},
    {"achievement_load_progress", 0, false},
    {"achievement_send_challenge", 5, false},
    {"achievement_get_challenges", 0, false},
    {"achievement_show_challenge_notifications", 3, false},
    {"cloud_file_save", 2, true},
    {"cloud_string_save", 2, true},
    {"cloud_synchronise", 0, true},
    {"Tarvo_OpenURL", 1, false},
    {"Tarvo_OpenURL_ext", 2, false},
    {"Tarvo_OpenURL_full", 3, false},
    {"url_open", 1, false},
    {"url_open_ext", 2, false},
    {"url_open_full", 3, false},
    {"url_get_domain", 1, false},
    {"Tarvo_EnableAds", 5, false},
    {"Tarvo_DisableAds", 0, false},
    {"Tarvo_LeaveRating", 4, false},
    {"ads_enable", 3, false},
    {"ads_disable", 1, false},
    {"ads_event", 1, false},
    {"ads_event_preload", 1, false},
    {"ads_get_display_width", 1, false},
    {"ads_get_display_height", 1, false},
    {"ads_move", 3, false},
    {"ads_interstitial_available", 0, false},
    {"ads_interstitial_display", 0, false},
    {"ads_engagement_available", 1, false},
    {"ads_engagement_launch", 1, false},
    {"ads_engagement_active", 1, false},
    {"ads_setup", 2, false},
    {"ads_set_reward_callback", 1, false},
    {"clickable_add", 6, false},
    {"clickable_add_ext", 8, false},
    {"clickable_change", 4, false},
    {"clickable_change_ext", 5, false},
    {"clickable_delete", 1, false},
    {"clickable_exists", 1, false},
    {"clickable_set_style", 2, false},
    {"shop_leave_rating", 4, false},
    {"Tarvo_GetTimer", 0, false},
    {"Tarvo_GetPlatform", 0, false},
    {"Tarvo_GetDevice", 0, false},
    {"Tarvo_GetCPUDetails", 0, false},
    {"Tarvo_GetConfig", 0, false},
    {"get_timer", 0, false},
    {"os_get_config", 0, false},
    {"os_get_info", 0, false},
    {"os_get_language", 0, false},
    {"os_get_region", 0, false},
    {"os_request_permission", 1, false},
    {"os_check_permission", 1, false},
    {"code_is_compiled", 0, false},
    {"display_get_dpi_x", 0, false},
    {"display_get_dpi_y", 0, false},
    {"display_set_gui_size", 2, false},
    {"display_get_gui_width", 0, false},
    {"display_get_gui_height", 0, false},
    {"display_set_gui_maximise", 2, false},
    {"Tarvo_OF_StartDashboard", 0, false},
    {"Tarvo_OF_AddAchievement", 2, false},
    {"Tarvo_OF_AddLeaderboard", 3, false},
    {"Tarvo_OF_SendChallenge", 3, false},
    {"Tarvo_OF_SendInvite", 1, false},
    {"Tarvo_OF_SendSocial", 3, false},
    {"Tarvo_OF_SetURL", 1, false},
    {"Tarvo_OF_AcceptChallenge", 0, false},
    {"Tarvo_OF_IsOnline", 0, false},
    {"Tarvo_OF_SendChallengeResult", 2, false},
    {"openfeint_start", 0, false},
    {"achievement_map_achievement", 2, false},
    {"achievement_map_leaderboard", 3, false},
    {"openfeint_send_challenge", 3, false},
    {"openfeint_send_invite", 1, false},
    {"openfeint_send_social", 3, false},
    {"openfeint_set_url", 1, false},
    {"openfeint_accept_challenge", 0, false},
    {"achievement_login_status", 0, false},
    {"openfeint_send_result", 2, false},
    {"Tarvo_MouseCheckButton", 2, false},
    {"Tarvo_MouseCheckButtonPressed", 2, false},
    {"Tarvo_MouseCheckButtonReleased", 2, false},
    {"Tarvo_MouseX", 1, false},
    {"Tarvo_MouseY", 1, false},
    {"Tarvo_MouseXRaw", 1, false},
    {"Tarvo_MouseYRaw", 1, false},
    {"Tarvo_GetTiltX", 0, false},
    {"Tarvo_GetTiltY", 0, false},
    {"Tarvo_GetTiltZ", 0, false},
    {"Tarvo_IsKeypadOpen", 0, false},
    {"device_mouse_check_button", 2, false},
    {"device_mouse_check_button_pressed", 2, false},
    {"device_mouse_check_button_released", 2, false},
    {"device_mouse_x", 1, false},
    {"device_mouse_y", 1, false},
    {"device_mouse_raw_x", 1, false},
    {"device_mouse_raw_y", 1, false},
    {"device_mouse_x_to_gui", 1, false},
    {"device_mouse_y_to_gui", 1, false},
    {"device_get_tilt_x", 0, false},
    {"device_get_tilt_y", 0, false},
    {"device_get_tilt_z", 0, false},
    {"device_is_keypad_open", 0, false},
    {"facebook_init", 0, false},
    {"facebook_login", 2, false},
    {"facebook_status", 0, false},
    {"facebook_graph_request", 4, false},
    {"facebook_dialog", 3, false},
    {"facebook_logout", 0, false},
    {"facebook_user_id", 0, false},
    {"facebook_accesstoken", 0, false},
    {"facebook_launch_offerwall", 1, false},
    {"facebook_post_message", 7, false},
    {"facebook_send_invite", 5, false},
    {"facebook_check_permission", 1, false},
    {"facebook_request_read_permissions", 1, false},
    {"facebook_request_publish_permissions", 1, false},
    {"Tarvo_OSPauseEvent", 0, false},
    {"os_is_paused", 0, false},
    {"window_has_focus", 0, false},
    {"base64_encode", 1, false},
    {"base64_decode", 1, false},
    {"md5_string_unicode", 1, false},
    {"md5_string_utf8", 1, false},
    {"md5_file", 1, false},
    {"sha1_string_unicode", 1, false},
    {"sha1_string_utf8", 1, false},
    {"sha1_file", 1, false},
    {"os_is_network_connected", 0, false},
    {"os_powersave_enable", 1, false},
    {"os_lock_orientation", 1, false},
    {"analytics_event", 1, false},
    {"analytics_event_ext", -1, false},
    {"winphone_tile_title", 1, false},
    {"winphone_tile_count", 1, false},
    {"winphone_tile_back_title", 1, false},
    {"winphone_tile_back_content", 1, false},
    {"winphone_tile_back_content_wide", 1, false},
    {"winphone_tile_front_image", 1, false},
    {"winphone_tile_front_image_small", 1, false},
    {"winphone_tile_front_image_wide", 1, false},
    {"winphone_tile_back_image", 1, false},
    {"winphone_tile_back_image_wide", 1, false},
    {"winphone_tile_background_color", 1, false},
    {"winphone_tile_background_colour", 1, false},
    {"winphone_tile_icon_image", 1, false},
    {"winphone_tile_small_icon_image", 1, false},
    {"winphone_tile_wide_content", 2, false},
    {"winphone_tile_cycle_images", -1, false},
    {"winphone_tile_small_background_image", 1, false},
    {"vtl_release_mode", 1, true},
    {"application_surface_draw_enable", 1, true},
    {"application_get_position", 0, false},
    {"application_surface_enable", 1, true},
    {"application_surface_is_enabled", 0, true},
    {"zqg_player_run", 4, false},
    {"zqg_player_restarted", 0, false},
    {"zqg_player_launch_args", 0, false},
    {"extension_stubfunc_real", 0, false},
    {"extension_stubfunc_string", 0, false},
    {"ps4_share_screenshot_enable", 1, true},
    {"ps4_share_video_enable", 1, true},
    {"xboxone_get_user_count", 0, true},
    {"xboxone_get_user", 1, true},
    {"xboxone_get_activating_user", 1, true},
    {"xboxone_user_is_active", 1, true},
    {"xboxone_user_is_guest", 1, true},
    {"xboxone_user_is_signed_in", 1, true},
    {"xboxone_user_is_remote", 1, true},
    {"xboxone_gamedisplayname_for_user", 1, true},
    {"xboxone_appdisplayname_for_user", 1, true},
    {"xboxone_user_id_for_user", 1, true},
    {"xboxone_agegroup_for_user", 1, true},
    {"xboxone_gamerscore_for_user", 1, true},
    {"xboxone_reputation_for_user", 1, true},
    {"xboxone_user_for_pad", 1, true},
    {"xboxone_pad_count_for_user", 1, true},
    {"xboxone_pad_for_user", 2, true},
    {"xboxone_sponsor_for_user", 2, true},
    {"xboxone_show_account_picker", 2, true},
    {"xboxone_sprite_add_from_gamerpicture", 4, true},
    {"xboxone_show_profile_card_for_user", 2, true},
    {"xboxone_generate_player_session_id", 0, true},
    {"xboxone_set_savedata_user", 1, true},
    {"xboxone_get_savedata_user", 0, true},
    {"xboxone_get_file_error", 0, true},
    {"xboxone_was_terminated", 0, true},
    {"xboxone_is_suspending", 0, true},
    {"xboxone_is_constrained", 0, true},
    {"xboxone_suspend", 0, true},
    {"xboxone_show_help", 1, true},
    {"xboxone_check_privilege", 3, true},
    {"xboxone_fire_event", -1, true},
    {"xboxone_get_stats_for_user", -1, true},
    {"xboxone_stats_setup", 2, true},
    {"xboxone_set_rich_presence", 3, true},
    {"xboxone_matchmaking_create", 4, true},
    {"xboxone_matchmaking_find", 3, true},
    {"xboxone_matchmaking_start", 1, true},
    {"xboxone_matchmaking_stop", 1, true},
    {"xboxone_matchmaking_session_get_users", 1, true},
    {"xboxone_matchmaking_session_leave", 1, true},
    {"xboxone_matchmaking_send_invites", 3, true},
    {"xboxone_matchmaking_set_joinable_session", 2, true},
    {"xboxone_matchmaking_join_invite", 4, true},
    {"xboxone_chat_add_user_to_channel", 2, true},
    {"xboxone_chat_remove_user_from_channel", 2, true},
    {"xboxone_chat_set_muted", 1, true},
    {"xboxone_set_service_configuration_id", 1, true},
    {"xboxone_read_player_leaderboard", 4, true},
    {"xboxlive_get_user_count", 0, true},
    {"xboxlive_get_user", 1, true},
    {"xboxlive_get_activating_user", 1, true},
    {"xboxlive_user_is_active", 1, true},
    {"xboxlive_user_is_guest", 1, true},
    {"xboxlive_user_is_signed_in", 1, true},
    {"xboxlive_user_is_signing_in", 1, true},
    {"xboxlive_user_is_remote", 1, true},
    {"xboxlive_gamedisplayname_for_user", 1, true},
    {"xboxlive_appdisplayname_for_user", 1, true},
    {"xboxlive_gamertag_for_user", -1, true},
    {"xboxlive_user_id_for_user", 1, true},
    {"xboxlive_agegroup_for_user", 1, true},
    {"xboxlive_gamerscore_for_user", 1, true},
    {"xboxlive_reputation_for_user", 1, true},
    {"xboxlive_user_for_pad", 1, true},
    {"xboxlive_pad_count_for_user", 1, true},
    {"xboxlive_pad_for_user", 2, true},
    {"xboxlive_sponsor_for_user", 2, true},
    {"xboxlive_show_account_picker", 2, true},
    {"xboxlive_sprite_add_from_gamerpicture", 4, true},
    {"xboxlive_show_profile_card_for_user", 2, true},
    {"xboxlive_generate_player_session_id", 0, true},
    {"xboxlive_read_player_leaderboard", 4, true},
    {"xboxlive_set_savedata_user", 1, true},
    {"xboxlive_get_savedata_user", 0, true},
    {"xboxlive_get_file_error", 0, true},
    {"uwp_was_terminated", 0, true},
    {"uwp_is_suspending", 0, true},
    {"uwp_is_constrained", 0, true},
    {"uwp_suspend", 0, true},
    {"uwp_show_help", 1, true},
    {"uwp_check_privilege", 3, true},
    {"xboxlive_fire_event", -1, true},
    {"xboxlive_get_stats_for_user", -1, true},
    {"xboxlive_stats_setup", 2, true},
    {"xboxlive_set_rich_presence", 3, true},
    {"xboxlive_matchmaking_create", 4, true},
    {"xboxlive_matchmaking_find", 3, true},
    {"xboxlive_matchmaking_start", 1, true},
    {"xboxlive_matchmaking_stop", 1, true},
    {"xboxlive_matchmaking_session_get_users", 1, true},
    {"xboxlive_matchmaking_session_leave", 1, true},
    {"xboxlive_matchmaking_send_invites", 3, true},
    {"xboxlive_matchmaking_set_joinable_session", 2, true},
    {"xboxlive_matchmaking_join_invite", 4, true},
    {"xboxlive_chat_add_user_to_channel", 2, true},
    {"xboxlive_chat_remove_user_from_channel", 2, true},
    {"xboxlive_chat_set_muted", 2, true},
    {"xboxlive_set_service_configuration_id", 1, true},
    {"psn_get_leaderboard_score_range", 4, true},
    {"psn_default_user_name", 0, true},
    {"psn_name_for_pad", 1, true},
    {"psn_unlock_trophy", 2, true},
    {"psn_get_trophy_unlock_state", 1, true},
    {"psn_init_np_libs", 3, true},
    {"psn_exit_np_libs", 0, true},
    {"psn_get_leaderboard_score", 2, true},
    {"psn_post_leaderboard_score", 3, true},
    {"psn_post_leaderboard_score_comment", 4, true},
    {"psn_check_np_availability", 2, true},
    {"psn_tick_error_dialog", 0, true},
    {"psn_get_friends_scores", 4, true},
    {"psn_name_for_user", 1, true},
    {"psn_default_user", 0, true},
    {"psn_user_for_pad", 1, true},
    {"matchmaking_reset_create_params", 0, true},
    {"matchmaking_add_create_param", 2, true},
    {"matchmaking_session_create", 2, true},
    {"matchmaking_session_get_users", 1, true},
    {"matchmaking_session_get_owner", 1, true},
    {"matchmaking_session_set_closed", 1, true},
    {"matchmaking_session_set_open", 1, true},
    {"matchmaking_session_set_hidden", 1, true},
    {"matchmaking_reset_find_params", 0, true},
    {"matchmaking_add_find_param", 3, true},
    {"matchmaking_session_find", 0, true},
    {"matchmaking_session_join", 1, true},
    {"matchmaking_session_leave", 1, true},
    {"matchmaking_session_update", 1, true},
    {"matchmaking_start", 2, true},
    {"matchmaking_stop", 0, true},
    {"matchmaking_session_invite_start", 1, true},
    {"matchmaking_send_invites_no_ui", 4, true},
    {"matchmaking_send_invites", 3, true},
    {"matchmaking_tick_invites", 0, true},
    {"matchmaking_join_invite", 1, true},
    {"psn_set_content_restriction", 1, true},
    {"psn_load_modules", 0, true},
    {"psn_get_avatar_url", 1, true},
    {"psn_get_tus_data", 2, true},
    {"psn_set_tus_data", 4, true},
    {"psn_get_tus_variable", 2, true},
    {"psn_set_tus_variable", 3, true},
    {"psn_delete_tus_data", 2, true},
    {"psn_content_restriction_add", 2, true},
    {"psn_net_check", 1, true},
    {"psn_setup_trophies", 0, true},
    {"psn_tick", 0, true},
    {"psn_init_trophy", 1, true},
    {"psn_np_status", 1, true},
    {"psn_show_error_dialog", 1, true},
    {"psn_check_free_space", 2, true},
    {"video_open", 1, true},
    {"video_close", 0, true},
    {"video_draw", 0, true},
    {"video_set_volume", 1, true},
};

TRoutine RoutineOf(const char* name) {
    const int index = Function_Find(name);
    return index >= 0 ? the_functions[index].f_routine : nullptr;
}

RValue Call(const char* name, std::vector<RValue> args = {}) {
    RValue result = Real(-99);
    TRoutine routine = RoutineOf(name);
    EXPECT_NE(routine, nullptr) << name;
    if (routine != nullptr) routine(result, nullptr, nullptr, static_cast<int>(args.size()), args.data());
    for (RValue& a : args) FREE_RValue(&a);
    return result;
}

TEST(PlatformRegistration, TarvoFunctionsRegisterTheTableInOrder) {
    InitTarvoFunctions();
    constexpr int kCount = static_cast<int>(sizeof kTarvo / sizeof kTarvo[0]);
    ASSERT_EQ(kCount, 344); // 187 family entries and 157 console entries
    ASSERT_GE(the_numb, kCount);
    for (int i = 0; i < kCount; ++i) {
        const RFunction& f = the_functions[i];
        EXPECT_STREQ(f.f_name, kTarvo[i].name) << "entry " << i;
        EXPECT_EQ(f.f_argnumb, kTarvo[i].argc) << kTarvo[i].name;
        EXPECT_EQ(f.f_flag != 0, kTarvo[i].flag) << kTarvo[i].name;
        EXPECT_NE(f.f_routine, nullptr) << kTarvo[i].name;
    }
    // The console family: one routine behind every name.
    const TRoutine notSupported = RoutineOf("ps4_share_screenshot_enable");
    int console = 0;
    for (int i = 0; i < kCount; ++i) console += the_functions[i].f_routine == notSupported ? 1 : 0;
    EXPECT_EQ(console, 157);
}

TEST(PlatformRegistration, PushAndMetroRegistrars) {
    InitPushFunctions();
    InitMetroFunctions();
    ASSERT_EQ(the_numb, 4 + 33);
    const Expected push[] = {{"push_local_notification", 4, false},
                             {"push_get_first_local_notification", 1, false},
                             {"push_get_next_local_notification", 1, false},
                             {"push_cancel_local_notification", 1, false}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(the_functions[i].f_name, push[i].name);
        EXPECT_EQ(the_functions[i].f_argnumb, push[i].argc);
        EXPECT_EQ(the_functions[i].f_flag, 0u);
    }
    EXPECT_STREQ(the_functions[4].f_name, "win8_livetile_tile_notification");
    EXPECT_EQ(the_functions[4].f_argnumb, 4);
    EXPECT_STREQ(the_functions[4 + 23].f_name, "win8_secondarytile_pin");
    EXPECT_EQ(the_functions[4 + 23].f_argnumb, 8);
    EXPECT_STREQ(the_functions[36].f_name, "win8_livetile_notification_end");
    for (int i = 4; i < 37; ++i) {
        EXPECT_EQ(the_functions[i].f_routine, the_functions[4].f_routine) << the_functions[i].f_name;
        EXPECT_EQ(the_functions[i].f_flag, 0u);
    }
}

TEST(PlatformRegistration, AliasesShareTheRoutineOfTheirCurrentName) {
    InitTarvoFunctions();
    const char* const pairs[][2] = {
        {"Tarvo_AddVirtualKey", "virtual_key_add"},
        {"Tarvo_OpenURL", "url_open"},
        {"Tarvo_DisableAds", "ads_disable"},
        {"Tarvo_LeaveRating", "shop_leave_rating"},
        {"Tarvo_GetTimer", "get_timer"},
        {"Tarvo_OF_StartDashboard", "openfeint_start"},
        {"Tarvo_OF_IsOnline", "achievement_login_status"},
        {"Tarvo_MouseXRaw", "device_mouse_raw_x"},
        {"Tarvo_OSPauseEvent", "os_is_paused"},
        {"Tarvo_PostScore", "achievement_post_score"},
        {"winphone_tile_background_color", "winphone_tile_background_colour"},
    };
    for (const auto& pair : pairs) {
        EXPECT_NE(RoutineOf(pair[0]), nullptr) << pair[0];
        EXPECT_EQ(RoutineOf(pair[0]), RoutineOf(pair[1])) << pair[0] << " and " << pair[1];
    }
    EXPECT_NE(RoutineOf("Tarvo_EnableAds"), RoutineOf("ads_enable"));
}

TEST(PlatformRegistration, MissingServicesAnswerTheirFixedResults) {
    InitTarvoFunctions();
    InitPushFunctions();
    InitMetroFunctions();
    ErrorCapture errors;
    EXPECT_EQ(Call("Tarvo_GetPlatform").val, kPlatformOsType);
    EXPECT_EQ(Call("xboxone_get_user_count").val, -1);
    EXPECT_EQ(Call("win8_share_text", {Str("a"), Str("b"), Str("c")}).val, 0);
    EXPECT_EQ(Call("push_get_first_local_notification", {Real(0)}).val, -1);
    EXPECT_EQ(Call("window_has_focus").val, 1);
    RValue status = Call("facebook_status");
    EXPECT_EQ(TextOf(status), "IDLE");
    FREE_RValue(&status);
    EXPECT_EQ(Call("clickable_add").val, -99) << "left as the caller prepared it";

    Call("ads_disable", {Real(4)});
    EXPECT_EQ(errors.Shown().size(), 0u);
    Call("ads_disable", {Real(5)});
    Call("ads_disable", {Real(-1)});
    Call("Tarvo_DisableAds"); // registered without arguments: nothing to check
    EXPECT_EQ(errors.Shown().size(), 2u);
    EXPECT_TRUE(errors.ShownContains("Illegal advertising slot number"));
    errors.Clear();

    Call("analytics_event_ext", {Str("level"), Str("score")}); // one key, no value: the plain form
    EXPECT_EQ(errors.Shown().size(), 0u);
    Call("analytics_event_ext", {Str("level"), Real(3), Str("x")});
    EXPECT_TRUE(errors.ShownContains("malformed analytics parameter"));
    errors.Clear();

    std::vector<RValue> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(Str("tile.png"));
    EXPECT_EQ(Call("winphone_tile_cycle_images", ten).val, 0);
    EXPECT_TRUE(errors.ShownContains("Illegal argument count"));
}

} // namespace
