#!/usr/bin/env python3
"""Writes the two hand-written text resources with their exact encodings and line ends.

resources/def_settings.txt  Windows-1251, CR LF  (resource 117, the factory settings)
resources/ui_text.txt       UTF-8 with a byte-order mark, CR LF  (resource 116, dialog texts)

The texts live here so that the bytes on disk never depend on an editor's settings.
Run from the repository root: scripts/make_text_resources.py
"""
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent.parent

DEF_SETTINGS = [
    "; ============================================================",
    "; Ravelin - заводские настройки хранителя экрана",
    "; (factory settings of the Ravelin screensaver)",
    "; ============================================================",
    "",
    "; --- Общие параметры / general ---",
    "Music\t\t\t= true;",
    "ShowTime\t\t= true;",
    "ShowFPS\t\t\t= false;",
    "UseDktpSet\t\t= true;",
    "ExitOnMouseMove\t\t= false;",
    "",
    "; --- Яркость (0..200, 100 - без изменений) / brightness ---",
    "GammControl\t\t= 100;",
    "",
    "; --- Часы / clock ---",
    "DigClock_24H\t\t= false;",
    "",
    "; --- Звук / sound ---",
    "MusicVolume\t\t= 75;",
    "SFX\t\t\t= true;",
    "",
    "; --- Видеорежим / video mode ---",
    "MW\t\t\t= 800;",
    "MH\t\t\t= 600;",
    "MBitCount\t\t= 32;",
    "FSAA\t\t\t= 2;\t; не используется (not used)",
    "VSync\t\t\t= 0;",
    "",
    "; --- Гамма по умолчанию / keep the display's gamma ---",
    "DefGamma\t\t= true;",
    "",
    "; --- Звуковые эффекты / sound effects ---",
    "SFX\t\t\t= true;",
    "",
    "; --- Сайт / web site (placeholder until the project has a home page) ---",
    "main_web_site_url\t= http://ravelin.example.org/",
]

UI_TEXT = [
    ("heading", "----------------------- Ravelin: dialog texts -----------------------"),
    ("heading", "---------------- Тексты окон / window texts (English) ----------------"),
    ("blank", ""),
    ("heading", "----- Configuration dialog -----"),
    ("key", "#screensaver_configuration#", "Ravelin Configuration"),
    ("blank", ""),
    ("heading", "----- Video mode -----"),
    ("key", "#video_mode_selection#", "Video Mode"),
    ("key", "#use_desktop_settings#", "Use Desktop Settings"),
    ("key", "#vsync#", "VSync"),
    ("blank", ""),
    ("heading", "----- Sound -----"),
    ("key", "#sound_control#", "Sound Control"),
    ("key", "#master_volume:#", "Volume"),
    ("key", "#enable_music#", "Enable Music"),
    ("key", "#enable_sfx#", "Enable SFX"),
    ("blank", ""),
    ("heading", "----- Gamma -----"),
    ("key", "#gamma_control#", "Gamma Control"),
    ("key", "#brightness#", "Brightness"),
    ("key", "#use_by_default#", "Use Default Setting"),
    ("blank", ""),
    ("heading", "----- Options -----"),
    ("key", "#options#", "Options"),
    ("key", "#show_fps#", "Show FPS"),
    ("key", "#show_time#", "Show Time"),
    ("key", "#12h_style#", "12 hrs"),
    ("key", "#24h_style#", "24 hrs"),
    ("key", "#exit_on_mouse_move#", "Exit On Mouse Move"),
    ("blank", ""),
    ("heading", "----- Products -----"),
    ("key", "#products#", "Products"),
    ("key", "#visit_our_official_web-site#", "Visit Our Official web-site for more great 3D screensavers"),
    ("key", "#visit...#", "Visit..."),
    ("blank", ""),
    ("heading", "----- Buttons -----"),
    ("key", "#about#", "About"),
    ("key", "#restore_defaults#", "Restore Defaults"),
    ("key", "#OK#", "OK"),
    ("key", "#Cancel#", "Cancel"),
    ("blank", ""),
    ("heading", "----- About box: seven lines separated by '%' -----"),
    ("key", "#about_window_text#",
     "Ravelin%%Programming: The Ravelin Team%3D models: The Ravelin Team%"
     "Music and Sounds: The Ravelin Team%Every picture and sound is made by our own code.%"
     "Thank you for watching the race!"),
    ("blank", ""),
]


def main():
    text = "\r\n".join(DEF_SETTINGS) + "\r\n"
    (ROOT / "resources" / "def_settings.txt").write_bytes(text.encode("cp1251"))

    lines = []
    for item in UI_TEXT:
        if item[0] == "key":
            lines += [item[1], item[2]]
        else:
            lines.append(item[1])
    body = "\r\n".join(lines) + "\r\n"
    (ROOT / "resources" / "ui_text.txt").write_bytes(b"\xef\xbb\xbf" + body.encode("utf-8"))


if __name__ == "__main__":
    main()
