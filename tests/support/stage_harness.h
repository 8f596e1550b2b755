// Drives one stage headless, frame by frame.
#pragma once

namespace t4::test {}
