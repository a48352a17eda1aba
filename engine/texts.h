#pragma once
// Every text the player reads or hears, in one place, so that the Spanish can
// be read over, and kept consistent, without walking the whole program. The
// one exception is the window's caption (the program's name and version): it
// stays in ui/form1.h, where the build reads it too.
// UTF-8; a "%1" or "%2" is filled in by the window with QString::arg.

namespace tolvex::texts {

// Main window: the option panel.
inline constexpr const char* kLevelTitle = "Nivel";
inline constexpr const char* kLevelEasy = "Fácil";
inline constexpr const char* kLevelMedium = "Medio";
inline constexpr const char* kLevelHard = "Difícil";
inline constexpr const char* kLevelBuff = "Buff!!";
inline constexpr const char* kSoundTitle = "Sonido";
inline constexpr const char* kSoundNone = "Sin sonido";
inline constexpr const char* kSoundBeep = "Beep";
inline constexpr const char* kSoundBell = "Campanilla";
inline constexpr const char* kSoundHammond = "Hammond";
inline constexpr const char* kSoundDrums = "Batería";
inline constexpr const char* kNewGame = "Nuevo Juego";

// Main window: the menu.
inline constexpr const char* kMenuHelp = "Ayuda";
inline constexpr const char* kMenuHowToPlay = "Como Jugar";
inline constexpr const char* kMenuAbout = "Acerca de...";

// The pads' colours, by pad: in the pads' names and the spoken messages.
inline constexpr const char* kColourGreen = "verde";
inline constexpr const char* kColourYellow = "amarillo";
inline constexpr const char* kColourBlue = "azul";
inline constexpr const char* kColourRed = "rojo";

// Main window: what a screen reader names. %1 colour, %2 key digit.
inline constexpr const char* kBoardName = "Tablero, teclas 1 a 4";
inline constexpr const char* kPadName = "Pulsador %1, tecla %2";
inline constexpr const char* kLitPadName = "Pulsador %1, encendido";
inline constexpr const char* kPanelName = "Panel de opciones";
inline constexpr const char* kTimeBarName = "Barra de tiempo";
inline constexpr const char* kTimeSpentName = "Tiempo gastado";
inline constexpr const char* kScoreName = "Puntuación";
inline constexpr const char* kScoreValueName = "Puntuación: %1";
inline constexpr const char* kShowTimeBarName = "Mostrar la barra de tiempo";
inline constexpr const char* kGapBarName = "Pausa entre destellos, en milisegundos";
inline constexpr const char* kGapLabelName = "Pausa entre destellos";
inline constexpr const char* kLitBarName = "Duración del destello, en milisegundos";
inline constexpr const char* kLitLabelName = "Duración del destello";

// The spoken game messages: a message, then the score, in one piece.
inline constexpr const char* kSpokenScore = "Puntuación: %1";
inline constexpr const char* kSpokenStarted = "Nuevo juego: %1 rondas";                  // %1 rounds
inline constexpr const char* kSpokenStartedAtLevel = "Nuevo juego, nivel %1: %2 rondas"; // %1 level, %2 rounds
inline constexpr const char* kSpokenWon = "¡Has ganado! ";
inline constexpr const char* kSpokenWrongPad = "Fallaste: tocaba el %1. "; // %1 colour of the due pad
inline constexpr const char* kSpokenTimeUp = "Se acabó el tiempo: tocaba el %1. ";

// The box shown when a tone is refused: one carriage return, no line feed.
inline constexpr const char* kToneWarning = "No puedo ejecutar el fichero .WAV!\r"
                                            "Cierra la aplicación que hayas abierto y pulsa Aceptar.";
inline constexpr const char* kToneWarningTitle = "Tolvex";
inline constexpr const char* kToneWarningButton = "Aceptar";

// The about window. Reserved example addresses, short enough for their boxes.
inline constexpr const char* kAboutCredit = "Creado por el equipo de Tolvex";
inline constexpr const char* kAboutMail = "info@example.net";
inline constexpr const char* kAboutWeb = "tolvex.example";
inline constexpr const char* kAboutTerms =
    "Este programa se puede copiar libremente, pero no se puede cobrar nada por él. "
    "Si lo quieres poner en una página web, pide permiso antes, por favor.";
inline constexpr const char* kAboutClose = "[click para cerrar]";
inline constexpr const char* kAboutWebCaption = "Web:";
inline constexpr const char* kAboutMailCaption = "Email: ";

// The about window: what a screen reader names; an address follows a link's.
inline constexpr const char* kAboutName = "Acerca de Tolvex";
inline constexpr const char* kAboutLogoName = "Logotipo de Tolvex";
inline constexpr const char* kAboutIconName = "Icono de Tolvex";
inline constexpr const char* kAboutWebName = "Página web: ";
inline constexpr const char* kAboutMailName = "Correo electrónico: ";

// What the desktop's sound settings list: the program and its stream.
inline constexpr const char* kSoundClientName = "Tolvex";
inline constexpr const char* kSoundStreamName = "Tono";

} // namespace tolvex::texts
