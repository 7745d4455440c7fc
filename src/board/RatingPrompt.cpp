#include "board/RatingPrompt.h"

#include "platform/foundation/Log.h"

void RatingPrompt::appLaunched()
{
    fnd::Log::write("rating prompt: launch not counted yet");
}

void RatingPrompt::rateApp()
{
    fnd::Log::write("rating prompt: review page not opened yet");
}
