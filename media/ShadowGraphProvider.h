#pragma once
// Frame producer (being written).
