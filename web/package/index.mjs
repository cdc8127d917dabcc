// The ES module face of the package, for import in node and in bundlers.
import ledview from './index.js';

export const createSign = ledview.createSign;
export const LedviewError = ledview.LedviewError;
export default ledview;
