/* The check of the DirectX components the installed game needs. */
#ifndef KVL_DIRECTX_H
#define KVL_DIRECTX_H

/* Creates each DirectX component the installed game needs; at the first
 * that fails, shows its message and returns 0. Returns 1 when all can be
 * created. */
int CheckDirectXComponents(void);

#endif
