#pragma once

// The offscreen platform warns on every window shown that it cannot pass on size hints; hundreds of those
// lines would bury the table. Other messages still get through.
void DropOffscreenSizeHintWarnings();
