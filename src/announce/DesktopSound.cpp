#include "announce/DesktopSound.h"

#include <atomic>

// GLib's headers before Qt's, whose "signals" keyword they use as a name.
#include <canberra.h>
#include <gio/gio.h>

#include <QByteArray>

namespace {

// What the user chose in the desktop's sound settings, where the desktop keeps them.
struct SoundChoices
{
    bool on = true;
    QByteArray theme = "freedesktop";
};

SoundChoices UserChoices()
{
    SoundChoices choices;
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema
        = source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.sound", TRUE) : nullptr;
    if (!schema)
        return choices;
    g_settings_schema_unref(schema);
    GSettings *settings = g_settings_new("org.gnome.desktop.sound");
    choices.on = g_settings_get_boolean(settings, "event-sounds");
    gchar *theme = g_settings_get_string(settings, "theme-name");
    if (theme && *theme)
        choices.theme = theme;
    g_free(theme);
    g_object_unref(settings);
    return choices;
}

} // namespace

// The sound server's client, made by the first sound and used only on the side thread.
struct DesktopSound::Player
{
    ca_context *context = nullptr;
    std::atomic_bool waiting = false;
    bool warned = false;

    ~Player()
    {
        if (context)
            ca_context_destroy(context);
    }

    void Play()
    {
        waiting = false;
        const SoundChoices choices = UserChoices();
        if (!choices.on)
            return;
        if (!context && Report(ca_context_create(&context)))
            context = nullptr;
        if (!context)
            return;
        Report(ca_context_play(context, 0, CA_PROP_EVENT_ID, "message-new-instant", CA_PROP_EVENT_DESCRIPTION,
                               "Chat received", CA_PROP_MEDIA_ROLE, "event", CA_PROP_CANBERRA_XDG_THEME_NAME,
                               choices.theme.constData(), CA_PROP_APPLICATION_NAME, "Parlox", CA_PROP_APPLICATION_ID,
                               "org.parlox.Parlox", nullptr));
    }

    // Whether the call failed; the first failure is told.
    bool Report(int result)
    {
        if (result == CA_SUCCESS)
            return false;
        if (!std::exchange(warned, true))
            qWarning("The sound for new chat cannot be played: %s", ca_strerror(result));
        return true;
    }
};

DesktopSound::DesktopSound() : m_player(std::make_shared<Player>()) {}

// The client goes on the side thread, where it was used.
DesktopSound::~DesktopSound()
{
    m_thread.Post([player = std::exchange(m_player, nullptr)]() mutable { player.reset(); });
}

void DesktopSound::Play()
{
    if (m_player->waiting.exchange(true))
        return;
    m_thread.Post([player = m_player] { player->Play(); });
}
