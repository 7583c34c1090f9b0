#include "game_session.h"

GameSession gameSession;
