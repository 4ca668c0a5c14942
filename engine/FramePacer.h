#pragma once
// Frame clock (being written).
