// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

import simulatedError from "./index.js";

export const { binaryPath, expected, ERROR_LINE, STATUS } = simulatedError;
export default simulatedError;
